#include "cli/Commands.h"
#include "core/library/LibraryStore.h"
#include "core/library/PathLimits.h"

namespace wisp::cli {

void RunRoot(CommandContext& context) {
    const auto& args = context.command.positionals;
    if (args.empty()) {
        context.out << context.LibraryRoot() << "\n";
        return;
    }
    const std::string& path = args[0];
    if (path.empty()) {
        throw CommandFailure("the library root cannot be empty");
    }
    if (!FitsPathBuffer(path)) {
        throw CommandFailure("the library root is too long: at most 259 characters");
    }
    if (!WriteLibraryRoot(context.settings, path)) {
        throw CommandFailure("cannot store the library root in the settings");
    }
    if (!context.files.IsFolder(path) && !context.Quiet()) {
        context.err << "wisp: note: " << path << " does not exist yet\n";
    }
}

}  // namespace wisp::cli
