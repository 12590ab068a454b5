#include <filesystem>

#include "cli/Commands.h"
#include "cli/ProgressBar.h"
#include "cli/TargetFolder.h"
#include "core/builder/BookBuilder.h"
#include "core/platform/HelpCompiler.h"

namespace wisp::cli {

void RunBuild(CommandContext& context) {
    const ParsedCommand& command = context.command;
    std::optional<std::string> output = command.Value("output");
    if (!output || output->empty()) {
        throw CommandFailure("name the compiled file with -o FILE.chm");
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
    std::filesystem::path chmPath = std::filesystem::absolute(*output, error);
    if (error) {
        throw CommandFailure("cannot use " + *output + " as the compiled file");
    }
    if (chmPath.extension().empty()) {
        chmPath += ".chm";
    }

    auto compiler = CreateNativeHelpCompiler();
    CBookBuilder builder(context.files, *compiler,
                         BuildItem{BuildItemKind::Folder, target.label, target.path});
    if (ProgressBar::ShouldShow(stderr, context.Quiet())) {
        std::fprintf(stderr, "Building %s...", chmPath.c_str());
        std::fflush(stderr);
    }
    BuildResult result = builder.BuildBook(chmPath.string());
    if (ProgressBar::ShouldShow(stderr, context.Quiet())) {
        std::fprintf(stderr, "\r\033[K");
    }
    if (result.status != BuildStatus::Compiled && result.status != BuildStatus::Started) {
        throw CommandFailure(result.message.empty() ? "the build failed" : result.message);
    }
    if (!context.Quiet()) {
        context.out << "Built " << chmPath.string() << " from " << target.path << "\n";
    }
}

}  // namespace wisp::cli
