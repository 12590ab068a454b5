#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/Commands.h"
#include "cli/PageCapture.h"
#include "cli/PageReading.h"
#include "cli/TargetFolder.h"
#include "core/capture/ClipboardHtml.h"
#include "core/capture/PageComposition.h"
#include "core/capture/PageMetadata.h"
#include "core/capture/PastedPageTitle.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"

namespace wisp::cli {
namespace {

std::string ReadInput(const std::string& file) {
    if (file == "-") {
        return std::string(std::istreambuf_iterator<char>(std::cin), {});
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw CommandFailure("cannot read " + file);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

void RunCollect(CommandContext& context) {
    const ParsedCommand& command = context.command;
    const std::string& url = command.positionals[0];
    const bool selecting = command.Has("selection");
    TargetFolder target =
        ResolveTargetFolder(context, std::nullopt, command.Value("folder"), LibraryUse::Write);

    ReadPage read = ReadPageToCollect(context, url);
    const LoadedPage& source = *read.page;

    // A title the reader typed is checked; the page's own title is made into a usable name.
    std::string title =
        command.Has("title") ? *command.Value("title") : MakeTitleFileName(source.Title());
    if (std::optional<std::string_view> refused = CheckPageTitle(title)) {
        std::string message(*refused);
        for (char& c : message) {
            c = c == '\n' ? ' ' : c;
        }
        throw CommandFailure(message + (command.Has("title") ? "" : " (give one with --title)"));
    }

    CapturedPage page;
    page.title = title;
    page.sourceUrl = source.Url();
    page.reader = read.rendered ? "rendered" : "static";
    if (selecting) {
        if (source.SelectedCount() == 0) {
            throw CommandFailure("the selector matched nothing on " + url);
        }
        std::optional<std::string> composed =
            ComposeSelectionPage(source, title, *CreateNativeUrlCombiner());
        if (!composed) {
            throw CommandFailure("cannot read the style sheets of " + url);
        }
        page.html = std::move(*composed);
    } else {
        page.html = ComposeWholePage(source);
    }
    page.html = AddPageMetadata(std::move(page.html), command.Value("keywords").value_or(""),
                                command.Value("description").value_or(""));
    SaveCapturedPage(context, target, page);
}

void RunPaste(CommandContext& context) {
    const ParsedCommand& command = context.command;
    std::string input = ReadInput(command.positionals.empty() ? "-" : command.positionals[0]);
    TargetFolder target =
        ResolveTargetFolder(context, std::nullopt, command.Value("folder"), LibraryUse::Write);

    CClipboardHtml clipboard;
    clipboard.SetText(input);
    if (!clipboard.Parse() && !context.Quiet()) {
        context.err << "wisp: warning: the text is not HTML clipboard text of version 1.0 or "
                       "0.9; the page is made without its HTML\n";
    }
    CapturedPage page;
    page.title = PastedPageTitle(clipboard.GetTitle());
    page.html = clipboard.GetHtml();
    page.sourceUrl = clipboard.GetSourceUrl();
    SaveCapturedPage(context, target, page);
}

}  // namespace wisp::cli
