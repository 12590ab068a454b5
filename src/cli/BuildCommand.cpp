#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli/BuildCommand.h"
#include "cli/Commands.h"
#include "cli/OpenedLibrary.h"
#include "cli/PageReading.h"
#include "posix/builder/ChromiumBookPrinter.h"
#include "posix/capture/TerminalDownloadProgress.h"
#include "posix/platform/FileLock.h"

namespace wisp::cli {
namespace {

std::string UtcNow() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

LibraryBuild BuildFromLibrary(CommandContext& context, const std::optional<std::string>& bookAndFolder,
                              const std::string& output, const BuildChoices& choices) {
    std::optional<std::string> book;
    std::string folder;
    if (bookAndFolder) {
        std::size_t slash = bookAndFolder->find('/');
        book = bookAndFolder->substr(0, slash);
        if (slash != std::string::npos) {
            folder = bookAndFolder->substr(slash + 1);
        }
    }
    OpenedLibrary library(context, LibraryUse::Read);
    BookPlace place = library.ChooseBook(book);
    LocatedEntry built = library.Locate(place, folder, kFolderItem);

    BookBuild build{built.path, built.name, {}, BookFormat::Chm, UtcNow(), {}, {}, place.Folder()};
    // The compiler and the check of its result read the file by this path.
    std::error_code error;
    std::filesystem::path outputPath = std::filesystem::absolute(output, error);
    if (error) {
        throw CommandFailure("cannot use " + output + " as the book file");
    }
    std::optional<BookFormat> format = choices.format ? ParseBookFormat(*choices.format)
                                                      : FormatOfOutput(outputPath.string());
    if (!format) {
        if (choices.format) {
            throw UsageFailure("unknown format \"" + *choices.format + "\": use " +
                               std::string(kBookFormatNames));
        }
        throw CommandFailure("cannot tell the format of " + output +
                             ": end its name in .chm, .epub or .pdf, or give --format " +
                             std::string(kBookFormatNames));
    }
    build.format = *format;
    build.output = OutputWithExtension(outputPath.string(), build.format);
    if (choices.title) {
        build.title = *choices.title;
    }
    if (choices.language) {
        std::optional<BookLanguage> language = FindBookLanguage(*choices.language);
        if (!language) {
            throw CommandFailure("unknown language \"" + *choices.language +
                                 "\": give a tag such as fr or pt-BR, or a locale identifier "
                                 "such as 0x40c");
        }
        build.language = *language;
    } else {
        const char* lcAll = std::getenv("LC_ALL");
        const char* lang = std::getenv("LANG");
        build.language = ReaderLanguage(lcAll ? lcAll : "", lang ? lang : "");
    }

    bool showProgress = TerminalDownloadProgress::ShouldShow(stderr, context.Quiet());
    if (showProgress) {
        std::fputs(FitStatusLine(stderr, "Building ", build.output, "...").c_str(), stderr);
        std::fflush(stderr);
    }
    // A second build of the folder waits: the EPUB identifier is made once.
    ExclusiveFolderLock building(build.folder, ExclusiveFolderLock::Wait::Yes);
    std::unique_ptr<IHelpCompiler> compiler = CreateNativeHelpCompiler();
    std::unique_ptr<IXhtmlConverter> converter = CreateNativeXhtmlConverter();
    RenderingBrowser browser = FindRenderingBrowser();
    ChromiumBookPrinter printer(browser.program, browser.switches, ExpectedBrowserProgram());
    Outcome outcome = BuildBookFile(build, {context.files, *compiler, *converter,
                                            [](std::string_view path) {
                                                return CreateNativeEpubArchive(path);
                                            },
                                            &printer});
    if (showProgress) {
        std::fprintf(stderr, "\r\033[K");
    }
    return {std::move(outcome), build.folder};
}

void RunBuild(CommandContext& context) {
    const ParsedCommand& command = context.command;
    std::optional<std::string> output = command.Value("output");
    if (!output || output->empty()) {
        throw UsageFailure("name the book file with -o FILE.chm, -o FILE.epub or -o FILE.pdf");
    }
    std::optional<std::string> bookAndFolder;
    if (!command.positionals.empty()) {
        bookAndFolder = command.positionals[0];
    }
    LibraryBuild built = BuildFromLibrary(
        context, bookAndFolder, *output,
        {command.Value("format"), command.Value("title"), command.Value("language")});
    PrintWarnings(context, built.outcome);
    Require(built.outcome);
    if (context.Json()) {
        context.WriteJson({{"built", built.outcome.path},
                           {"folder", built.folder},
                           {"warnings", built.outcome.warnings}});
    } else if (!context.Quiet()) {
        context.out << "Built " << built.outcome.path << " from " << built.folder << "\n";
    }
}

}  // namespace wisp::cli
