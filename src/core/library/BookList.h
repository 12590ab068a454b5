#pragma once

#include <string>
#include <string_view>

#include "core/app/Outcome.h"
#include "core/library/ContentTree.h"
#include "core/platform/FileSystem.h"
#include "core/platform/ListControls.h"
#include "core/platform/SettingsStore.h"

// The bar's choice of book: the sorted list of the root's books, the current book and the
// library root, and the operations that change them. Each ends by showing the current book in
// the content tree and storing the matching setting.
namespace wisp {

class CBookList {
public:
    CBookList(ISortedBookList& list, CContentTree& tree, IFileSystem& files,
              ISettingsStore& settings, std::string root);

    // Fills the list from the root and settles the current book (stored with WriteBookName).
    // The tree is left to the caller, as when the band window is created.
    void LoadBookList();
    // The reader picked an entry: it becomes the current book, shown and stored.
    void SelectBook();
    // Makes a book of that name current, creating its folder when missing. Refused, with
    // nothing changed, for a name that is not one folder name inside the root; a folder that
    // cannot be made shows as an empty book.
    Outcome CreateBook(std::string_view name);
    // Another root: the list is loaded anew, its current book shown, the root stored.
    void SetLibraryRoot(std::string_view path);

    const std::string& Root() const { return root_; }
    const std::string& CurrentBook() const { return currentBook_; }

private:
    ISortedBookList& list_;
    CContentTree& tree_;
    IFileSystem& files_;
    ISettingsStore& settings_;
    std::string root_;
    std::string currentBook_;
};

}  // namespace wisp
