#include "cli/OpenedLibrary.h"

#include <algorithm>

#include "cli/BookPath.h"
#include "core/library/LibraryStore.h"
#include "core/library/PathLimits.h"
#include "core/library/TreeItemKind.h"
#include "posix/platform/PosixFiles.h"

namespace wisp::cli {

std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

void RequireFittingPath(std::string_view path) {
    if (!FitsPathBuffer(path)) {
        throw CommandFailure(Quoted(path) + " is too long: at most 259 characters");
    }
}

OpenedLibrary::OpenedLibrary(CommandContext& context, LibraryUse use)
    : context_(context),
      root_(context.LibraryRoot()),
      settings_(context.settings),
      shell_(CreateNativeShellFileOperations()),
      treeFiles_(context.files),
      tree_(ContentTreePorts{control_, treeFiles_, *shell_, prompts_}, true),
      books_(list_, tree_, context.files, settings_, root_) {
    // Only the default root is made: a root the user chose and that is gone may be a disk
    // that is not mounted, and a library made in its place would hide that.
    if (use == LibraryUse::Write && context.OnDefaultRoot() && !context.files.IsFolder(root_) &&
        !(MakeFolders(root_) && context.files.IsFolder(root_))) {
        throw CommandFailure("cannot create the library root " + Quoted(root_));
    }
}

void OpenedLibrary::RequireRoot() const {
    if (context_.files.IsFolder(root_)) {
        return;
    }
    if (context_.OnDefaultRoot()) {
        throw CommandFailure("no library yet in " + Quoted(root_) +
                             "; make a book with \"wisp new-book NAME\"");
    }
    throw CommandFailure("the library root " + Quoted(root_) + " is not a folder");
}

void OpenedLibrary::LoadBookList() {
    RequireRoot();
    list_.Clear();
    settings_.SetOpen(!context_.command.Has("root"));
    books_.LoadBookList();
    settings_.SetOpen(true);
}

std::string OpenedLibrary::ChooseBook(const std::optional<std::string>& named) {
    std::optional<std::string> book = context_.command.Value("book");
    if (named) {
        if (book && *book != *named) {
            throw UsageFailure("two books given: " + Quoted(*named) + " and --book " +
                               Quoted(*book));
        }
        book = named;
    }
    if (!book) {
        LoadBookList();
        if (books_.CurrentBook().empty()) {
            throw CommandFailure("no book in " + Quoted(root_) +
                                 "; make one with \"wisp new-book NAME\"");
        }
        return books_.CurrentBook();
    }
    RequireRoot();
    std::vector<std::string> books = ListBooks(context_.files, root_);
    if (std::find(books.begin(), books.end(), *book) == books.end()) {
        throw CommandFailure("no book " + Quoted(*book) + " in " + Quoted(root_));
    }
    return *book;
}

void OpenedLibrary::ShowBook(const std::string& book) {
    tree_.ShowBook(root_, book);
    if (tree_.TopItem() == kNoTreeItem) {
        throw CommandFailure(Quoted(book) + " cannot be shown as a book");
    }
}

std::vector<std::string> OpenedLibrary::NamesInBook(std::string_view path) const {
    std::optional<std::vector<std::string>> names = SplitBookPath(path);
    if (!names) {
        throw CommandFailure(Quoted(path) + " is outside the book");
    }
    return *names;
}

TreeItem OpenedLibrary::FindItem(const std::vector<std::string>& names) {
    TreeItem item = tree_.TopItem();
    std::string walked;
    for (const std::string& name : names) {
        if (tree_.KindOf(item) != kFolderItem) {
            throw CommandFailure(Quoted(walked) + " is a page, not a folder");
        }
        // Its first opening reads the folder from disk, as in the bar.
        control_.Expand(item);
        walked += walked.empty() ? name : "/" + name;
        item = control_.FindChild(item, name);
        if (item == kNoTreeItem) {
            throw CommandFailure("no folder or page " + Quoted(walked) + " in book " +
                                 Quoted(tree_.BookName()));
        }
    }
    return item;
}

std::optional<std::string> OpenedLibrary::PromptShownAfter(std::size_t shownBefore) const {
    if (prompts_.shown.size() <= shownBefore) {
        return std::nullopt;
    }
    return prompts_.shown[shownBefore].text;
}

bool OpenedLibrary::HoldsEntry(std::string_view folder, std::string_view name) const {
    bool found = false;
    context_.files.VisitFolder(folder, [&](const FolderEntry& entry) {
        found = entry.name == name;
        return !found;
    });
    return found;
}

}  // namespace wisp::cli
