#include <ctime>
#include <filesystem>

#include "cli/Commands.h"
#include "cli/ProgressBar.h"
#include "cli/TargetFolder.h"
#include "core/builder/BookBuilder.h"
#include "core/builder/EpubBuilder.h"
#include "core/platform/EpubArchive.h"
#include "core/platform/HelpCompiler.h"
#include "posix/platform/FileLock.h"
#include "core/platform/XhtmlConverter.h"
#include "core/text/AsciiCase.h"

namespace wisp::cli {
namespace {

enum class BookFormat { Chm, Epub };

BookFormat ChooseFormat(const ParsedCommand& command, const std::filesystem::path& output) {
    if (std::optional<std::string> format = command.Value("format")) {
        if (*format == "chm") {
            return BookFormat::Chm;
        }
        if (*format == "epub") {
            return BookFormat::Epub;
        }
        throw CommandFailure("unknown format \"" + *format + "\": use chm or epub");
    }
    return EqualsNoCase(output.extension().string(), ".epub") ? BookFormat::Epub : BookFormat::Chm;
}

std::string UtcNow() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void BuildEpub(CommandContext& context, const TargetFolder& target,
               const std::filesystem::path& epubPath, bool showProgress) {
    auto converter = CreateNativeXhtmlConverter();
    auto archive = CreateNativeEpubArchive(epubPath.string());
    CEpubBuilder builder(context.files, *converter,
                         BuildItem{BuildItemKind::Folder, target.label, target.path});
    EpubBuildResult result = builder.BuildEpub(*archive, UtcNow());
    if (showProgress) {
        std::fprintf(stderr, "\r\033[K");
    }
    for (const std::string& warning : result.warnings) {
        std::fprintf(stderr, "wisp: warning: %s\n", warning.c_str());
    }
    if (!result.built) {
        std::error_code ignored;
        std::filesystem::remove(epubPath, ignored);
        throw CommandFailure(result.message.empty() ? "the build failed" : result.message);
    }
}

}  // namespace

void RunBuild(CommandContext& context) {
    const ParsedCommand& command = context.command;
    std::optional<std::string> output = command.Value("output");
    if (!output || output->empty()) {
        throw CommandFailure("name the compiled file with -o FILE.chm or -o FILE.epub");
    }
    std::optional<std::string> book;
    std::optional<std::string> folder;
    if (!command.positionals.empty()) {
        const std::string& bookAndFolder = command.positionals[0];
        std::size_t slash = bookAndFolder.find('/');
        book = bookAndFolder.substr(0, slash);
        if (slash != std::string::npos) {
            folder = bookAndFolder.substr(slash + 1);
        }
    }
    TargetFolder target = ResolveTargetFolder(context, book, folder, LibraryUse::Read);

    // The compiler and the check of its result read the file by this path.
    std::error_code error;
    std::filesystem::path outputPath = std::filesystem::absolute(*output, error);
    if (error) {
        throw CommandFailure("cannot use " + *output + " as the compiled file");
    }
    BookFormat format = ChooseFormat(command, outputPath);
    if (outputPath.extension().empty()) {
        outputPath += format == BookFormat::Epub ? ".epub" : ".chm";
    }

    bool showProgress = ProgressBar::ShouldShow(stderr, context.Quiet());
    if (showProgress) {
        std::fprintf(stderr, "Building %s...", outputPath.c_str());
        std::fflush(stderr);
    }
    // Held while the project files are in the folder: a listing in another process leaves
    // them alone, and a second build waits (the EPUB identifier is made once).
    ExclusiveFolderLock building(target.path, ExclusiveFolderLock::Wait::Yes);
    if (format == BookFormat::Epub) {
        BuildEpub(context, target, outputPath, showProgress);
    } else {
        auto compiler = CreateNativeHelpCompiler();
        CBookBuilder builder(context.files, *compiler,
                             BuildItem{BuildItemKind::Folder, target.label, target.path});
        BuildResult result = builder.BuildBook(outputPath.string());
        if (showProgress) {
            std::fprintf(stderr, "\r\033[K");
        }
        if (result.status != BuildStatus::Compiled && result.status != BuildStatus::Started) {
            throw CommandFailure(result.message.empty() ? "the build failed" : result.message);
        }
    }
    if (!context.Quiet()) {
        context.out << "Built " << outputPath.string() << " from " << target.path << "\n";
    }
}

}  // namespace wisp::cli
