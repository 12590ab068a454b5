#include "core/app/BookPaths.h"

#include "core/library/LibraryNaming.h"
#include "core/library/NameOrder.h"
#include "core/library/PathLimits.h"

namespace wisp {
namespace {

struct ShownItem {
    ItemKind kind;
    bool isLink;
};

// How the tree shows the entry `name` of `folder`; none when it shows no such item.
std::optional<ShownItem> ShownEntry(const IFileSystem& files, std::string_view folder,
                                    std::string_view name) {
    std::optional<ShownItem> shown;
    files.VisitFolder(folder, [&](const FolderEntry& entry) {
        if (entry.name != name) {
            return true;
        }
        if (entry.isFolder && !IsCompanionFolder(name)) {
            shown = ShownItem{kFolderItem, entry.isLink};
        } else if (!entry.isFolder && IsPageFile(name)) {
            shown = ShownItem{kPageItem, entry.isLink};
        }
        return false;
    });
    return shown;
}

}  // namespace

std::optional<std::vector<std::string>> SplitBookPath(std::string_view path) {
    if (path.starts_with('/')) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        std::string_view step = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (step == "..") {
            return std::nullopt;
        }
        if (!step.empty() && step != ".") {
            names.emplace_back(step);
        }
    }
    return names;
}

std::string BookPlace::Folder() const {
    return JoinPath(root, book);
}

LocatedEntry LocateInBook(const IFileSystem& files, const BookPlace& place,
                          std::string_view bookPath, std::optional<ItemKind> wanted) {
    LocatedEntry located{Outcome::Done(), place.Folder(), kFolderItem, place.book};
    std::optional<ShownItem> book = ShownEntry(files, place.root, place.book);
    located.isLink = book && book->isLink;
    std::optional<std::vector<std::string>> names = SplitBookPath(bookPath);
    if (!names) {
        located.outcome = Outcome::Refused(Quoted(bookPath) + " is outside the book");
        return located;
    }
    std::string walked;
    for (const std::string& name : *names) {
        if (located.kind != kFolderItem) {
            located.outcome = Outcome::Refused(Quoted(walked) + " is a page, not a folder");
            return located;
        }
        walked += walked.empty() ? name : "/" + name;
        std::optional<ShownItem> shown = ShownEntry(files, located.path, name);
        if (!shown) {
            bool folderOnly = wanted == kFolderItem && &name == &names->back();
            located.outcome = Outcome::Refused((folderOnly ? "no folder " : "no folder or page ") +
                                               Quoted(walked) + " in book " + Quoted(place.book));
            located.missing = true;
            return located;
        }
        located.linkAbove = located.linkAbove || located.isLink;
        located.path = JoinPath(located.path, name);
        located.kind = shown->kind;
        located.isLink = shown->isLink;
        located.name = name;
    }
    if (wanted && located.kind != *wanted) {
        located.outcome = Outcome::Refused(Quoted(walked) + " is a page, not a folder");
    } else if (!FitsPathBuffer(located.path)) {
        located.outcome = TooLongPath(located.path);
    }
    return located;
}

std::optional<Outcome> RefuseWritesThroughLinks(const LocatedEntry& located, bool into) {
    if (located.linkAbove || (into && located.isLink)) {
        return Outcome::Refused(Quoted(located.path) +
                                " is reached through a link to another folder: Wisp does not "
                                "write there, since it may lie outside the library");
    }
    return std::nullopt;
}

Outcome TooLongPath(std::string_view path) {
    return Outcome::Failed(Quoted(path) + " is too long: at most 259 characters");
}

std::optional<std::string> FindTakenName(const IFileSystem& files, std::string_view folder,
                                         std::string_view name, std::string_view except) {
    std::optional<std::string> taken;
    files.VisitFolder(folder, [&](const FolderEntry& entry) {
        if (entry.name != except && SameNameIgnoringCase(entry.name, name)) {
            taken = entry.name;
        }
        return !taken;
    });
    return taken;
}

bool HoldsEntry(const IFileSystem& files, std::string_view folder, std::string_view name) {
    bool found = false;
    files.VisitFolder(folder, [&](const FolderEntry& entry) {
        found = entry.name == name;
        return !found;
    });
    return found;
}

}  // namespace wisp
