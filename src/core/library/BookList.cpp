#include "core/library/BookList.h"

#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"

namespace wisp {

CBookList::CBookList(ISortedBookList& list, CContentTree& tree, IFileSystem& files,
                     ISettingsStore& settings, std::string root)
    : list_(list), tree_(tree), files_(files), settings_(settings), root_(std::move(root)) {}

void CBookList::LoadBookList() {
    currentBook_ = ReadBookName(settings_);
    std::optional<std::vector<FolderEntry>> entries;
    if (!root_.empty()) {
        entries = files_.ListFolder(root_);
    }
    if (!entries) {
        // No root: no book to show, and the stored name is left for a root that exists.
        currentBook_.clear();
        return;
    }
    for (const FolderEntry& entry : *entries) {
        if (entry.isFolder) {
            list_.Add(entry.name);
        }
    }
    std::optional<std::size_t> current;
    for (std::size_t index = 0; index < list_.Count(); ++index) {
        if (list_.GetText(index) == currentBook_) {
            current = index;
            break;
        }
    }
    if (!current && list_.Count() > 0) {
        current = list_.Count() - 1;
        currentBook_ = list_.GetText(*current);
    }
    if (current) {
        list_.Select(*current);
    } else {
        currentBook_.clear();
    }
    WriteBookName(settings_, currentBook_);
}

void CBookList::SelectBook() {
    std::optional<std::size_t> picked = list_.GetSelection();
    if (!picked) {
        return;
    }
    currentBook_ = list_.GetText(*picked);
    tree_.ShowBook(root_, currentBook_);
    WriteBookName(settings_, currentBook_);
}

bool CBookList::CreateBook(std::string_view name) {
    if (root_.empty() || !IsSingleEntryName(name)) {
        return false;
    }
    currentBook_ = name;
    // A book listed already is selected rather than listed twice.
    std::optional<std::size_t> entry;
    for (std::size_t index = 0; index < list_.Count(); ++index) {
        if (list_.GetText(index) == name) {
            entry = index;
            break;
        }
    }
    list_.Select(entry ? *entry : list_.Add(name));
    // An existing folder keeps all it holds; a failure shows as an empty book.
    files_.CreateFolder(JoinPath(root_, name));
    WriteBookName(settings_, currentBook_);
    tree_.ShowBook(root_, currentBook_);
    return true;
}

void CBookList::SetLibraryRoot(std::string_view path) {
    root_ = path;
    list_.Clear();
    LoadBookList();
    tree_.ShowBook(root_, currentBook_);
    WriteLibraryRoot(settings_, root_);
}

}  // namespace wisp
