#include "cli/TargetFolder.h"

#include "cli/BookPath.h"
#include "cli/OpenedLibrary.h"
#include "core/library/LibraryNaming.h"

namespace wisp::cli {

TargetFolder ResolveTargetFolder(CommandContext& context, const std::optional<std::string>& book,
                                 const std::optional<std::string>& folder, LibraryUse use) {
    TargetFolder target;
    OpenedLibrary library(context, use);
    target.root = library.Root();
    target.book = library.ChooseBook(book);
    target.path = JoinPath(target.root, target.book);
    target.label = target.book;
    if (!folder) {
        return target;
    }
    std::optional<std::vector<std::string>> names = SplitBookPath(*folder);
    if (!names) {
        throw CommandFailure(Quoted(*folder) + " is not a folder inside the book");
    }
    for (const std::string& name : *names) {
        if (IsCompanionFolder(name)) {
            throw CommandFailure(Quoted(*folder) + " is a page's files, not a folder of the book");
        }
        target.path = JoinPath(target.path, name);
        target.label = name;
    }
    RequireFittingPath(target.path);
    if (!context.files.IsFolder(target.path)) {
        throw CommandFailure("no folder " + Quoted(*folder) + " in the book " +
                             Quoted(target.book));
    }
    return target;
}

}  // namespace wisp::cli
