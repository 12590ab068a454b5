#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "cli/FetchLimits.h"
#include "cli/OpenedLibrary.h"
#include "cli/PageCapture.h"
#include "cli/PageReading.h"
#include "cli/PlainMessages.h"
#include "cli/SiteCommand.h"
#include "core/app/BookItems.h"
#include "core/capture/ClipboardHtml.h"
#include "core/library/LibraryNaming.h"
#include "core/text/ByteSize.h"
#include "posix/capture/CurlFetch.h"
#include "posix/platform/Interruption.h"

namespace wisp::cli {
namespace {

// Pasted markup is held whole, so it is bounded as a fetched page is: endless input
// (/dev/zero, a runaway pipe) ends with an error, not with the memory.
std::string ReadBounded(std::istream& in, const std::string& name, std::size_t most) {
    std::string text;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (text.size() + static_cast<std::size_t>(in.gcount()) > most) {
            throw CommandFailure(NamingTheOption(name + " is larger than " + ByteSizeText(most),
                                                 FetchLimit::Document));
        }
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        throw CommandFailure("cannot read " + name);
    }
    return text;
}

std::string ReadInput(const std::string& file, std::size_t most) {
    if (file == "-") {
        return ReadBounded(std::cin, "the standard input", most);
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw CommandFailure("cannot read " + file);
    }
    return ReadBounded(in, file, most);
}

struct Target {
    std::string book;    // the book's folder
    std::string folder;  // the folder inside it
};

// The folder of the book a command saves into: --folder inside it (made first with
// --parents), else the book's own.
Target TargetFolder(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    BookPlace place = library.ChooseBook();
    return {place.Folder(),
            library.FolderToWriteIn(place, context.command.Value("folder").value_or(""),
                                    context.command.Has("parents"))};
}

// A page of the chosen name is replaced only when the reader says so.
TakenPage TakenPolicy(const ParsedCommand& command) {
    return command.Has("replace") ? TakenPage::Replace : TakenPage::Refuse;
}

// The refusal of a taken name says how to go on.
void HintAtTakenName(CaptureOutcome& saved) {
    if (saved.taken) {
        saved.outcome.message += "; give --replace to replace it, or another --title";
    }
}

}  // namespace

void RunCollect(CommandContext& context) {
    // Ctrl-C ends the capture at the next step, which removes what it started.
    InterruptScope interrupts;
    const ParsedCommand& command = context.command;
    if (command.positionals.size() > 1 && command.Has("title")) {
        throw UsageFailure("--title names one page; give one URL with it");
    }
    // The browser comes up while the library is opened.
    PageReader reader(context);
    CommandCapture capture(context);
    Target target = TargetFolder(context);
    if (command.Has("follow")) {
        RunCollectSite(context, reader, target.book, target.folder, TakenPolicy(command));
        return;
    }

    // The pages in the order given; the first that cannot be saved ends the command, with the
    // ones before it saved.
    for (const std::string& url : command.positionals) {
        ReadPage read = reader.Read(url);
        const LoadedPage& source = *read.page;
        if (command.Has("selection") && source.SelectedCount() == 0) {
            throw CommandFailure("the selector matched nothing on " + url);
        }
        // A title the reader typed is checked; the page's own title is made into a usable name.
        std::string title =
            command.Has("title") ? *command.Value("title") : MakeTitleFileName(source.Title());
        CaptureOutcome saved = CapturePage(
            {source, command.Has("selection") ? kCollectSelection : kCollectWholePage,
             target.folder, title, command.Value("keywords").value_or(""),
             command.Value("description").value_or(""), TakenPolicy(command), target.book,
             ScriptsOf(command, read.rendered)},
            capture.Ports(read.responses.get()));
        HintAtTakenName(saved);
        if (saved.outcome.kind == Outcome::Kind::Refused && !saved.taken) {
            saved.outcome.message = PlainMessage(saved.outcome.message) +
                                    (command.Has("title") ? "" : " (give one with --title)");
        }
        ReportSavedPage(context, saved, read.rendered ? "rendered" : "static");
    }
}

void RunPaste(CommandContext& context) {
    InterruptScope interrupts;
    const ParsedCommand& command = context.command;
    std::string input = ReadInput(command.positionals.empty() ? "-" : command.positionals[0],
                                  FetchOptionsOf(command).maxDocumentBytes);
    CommandCapture capture(context);
    Target target = TargetFolder(context);
    const std::string& folder = target.folder;

    // The clipboard of Windows gives HTML clipboard text; a Linux clipboard, a file or a pipe
    // gives the page itself.
    PastedPage page;
    CClipboardHtml clipboard;
    clipboard.SetText(input);
    if (clipboard.Parse()) {
        page = {clipboard.GetHtml(), clipboard.GetSourceUrl(), folder, clipboard.GetTitle(), {}};
    } else if (input.find('<') != std::string::npos) {
        page = {input, {}, folder, HtmlTitle(input), {}};
    } else {
        throw CommandFailure("the text is neither HTML nor HTML clipboard text");
    }
    if (std::optional<std::string> url = command.Value("source-url")) {
        page.sourceUrl = *url;
    }
    page.name = command.Value("title");
    page.taken = TakenPolicy(command);
    page.book = target.book;
    CaptureOutcome saved = SavePastedPage(page, capture.Ports());
    HintAtTakenName(saved);
    ReportSavedPage(context, saved);
}

}  // namespace wisp::cli
