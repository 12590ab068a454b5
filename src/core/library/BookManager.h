#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/platform/FileSystem.h"
#include "core/platform/FolderChooser.h"
#include "core/platform/ListControls.h"
#include "core/platform/Prompts.h"
#include "core/platform/ShellFileOperations.h"

// The logic of the Book Management dialog: books are added, renamed and deleted on disk at
// once, and another library root may be chosen, which the band takes over only on "Close".
namespace wisp {

inline constexpr std::string_view kNewBookName = "new book";
inline constexpr std::string_view kDeleteBookQuestion = "Do you delete the eBook, yes or no?";

struct BookManagerPorts {
    IBookManagerList& list;
    IFileSystem& files;
    IShellFileOperations& shell;
    IPrompts& prompts;
    IFolderChooser& folderChooser;
};

class CBookManager {
public:
    explicit CBookManager(const BookManagerPorts& ports);

    void SetRoot(std::string_view root) { rootPath_ = root; }
    const std::string& GetRoot() const { return rootPath_; }

    // Lists the root's folders, the last enumerated at the top.
    void FillBookList();
    void OnAdd();
    void OnModify();
    // The reader ended editing entry `index`; `text` is empty when the edit was cancelled.
    void OnBookLabelEdit(std::size_t index, std::string_view text);
    void OnDelete();
    void OnBrowse();

    void SelectListItem(std::size_t index);

private:
    IBookManagerList& list_;
    IFileSystem& files_;
    IShellFileOperations& shell_;
    IPrompts& prompts_;
    IFolderChooser& folderChooser_;
    std::string rootPath_;
};

}  // namespace wisp
