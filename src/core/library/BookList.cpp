#include "core/library/BookList.h"

#include "core/app/Books.h"
#include "core/library/LibraryStore.h"

namespace wisp {

CBookList::CBookList(ISortedBookList& list, CContentTree& tree, IFileSystem& files,
                     ISettingsStore& settings, std::string root)
    : list_(list), tree_(tree), files_(files), settings_(settings), root_(std::move(root)) {}

void CBookList::LoadBookList() {
    if (root_.empty() || !files_.IsFolder(root_)) {
        // No root: no book to show, and the stored name is left for a root that exists.
        currentBook_.clear();
        return;
    }
    for (const std::string& book : ListBooks(files_, root_)) {
        list_.Add(book);
    }
    // The list sorts its entries its own way; the current book is settled in that order.
    std::vector<std::string> listed;
    for (std::size_t index = 0; index < list_.Count(); ++index) {
        listed.push_back(list_.GetText(index));
    }
    currentBook_ = SettleCurrentBook(listed, ReadBookName(settings_));
    for (std::size_t index = 0; index < listed.size(); ++index) {
        if (listed[index] == currentBook_) {
            list_.Select(index);
            break;
        }
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

Outcome CBookList::CreateBook(std::string_view name) {
    Outcome made = wisp::CreateBook(files_, root_, name);
    if (root_.empty() || made.kind == Outcome::Kind::Refused) {
        return made;
    }
    // A folder that could not be made shows as an empty book.
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
    WriteBookName(settings_, currentBook_);
    tree_.ShowBook(root_, currentBook_);
    return made;
}

void CBookList::SetLibraryRoot(std::string_view path) {
    root_ = path;
    list_.Clear();
    LoadBookList();
    tree_.ShowBook(root_, currentBook_);
    WriteLibraryRoot(settings_, root_);
}

}  // namespace wisp
