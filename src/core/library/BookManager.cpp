#include "core/library/BookManager.h"

#include "core/app/Books.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"

namespace wisp {

CBookManager::CBookManager(const BookManagerPorts& ports)
    : list_(ports.list),
      files_(ports.files),
      shell_(ports.shell),
      prompts_(ports.prompts),
      folderChooser_(ports.folderChooser) {}

void CBookManager::FillBookList() {
    list_.Clear();
    if (rootPath_.empty()) {
        return;
    }
    std::optional<std::vector<FolderEntry>> entries = files_.ListFolder(rootPath_);
    if (!entries) {
        return;
    }
    for (const FolderEntry& entry : *entries) {
        if (entry.isFolder) {
            list_.Insert(0, entry.name);
        }
    }
}

void CBookManager::OnAdd() {
    // Without a root the new folder would land wherever an empty path leads.
    if (rootPath_.empty()) {
        return;
    }
    std::size_t index = list_.Insert(0, kNewBookName);
    SelectListItem(index);
    list_.Focus();
    list_.EditLabel(index);
    // An existing "new book" is not reported; naming the entry then renames that folder.
    CreateBook(files_, rootPath_, kNewBookName);
}

void CBookManager::SelectListItem(std::size_t index) {
    if (list_.SelectAndFocus(index)) {
        list_.EnsureVisible(index);
    }
}

void CBookManager::OnModify() {
    std::optional<std::size_t> selected = list_.GetSelection();
    if (!selected) {
        return;
    }
    list_.Redraw(*selected);
    list_.Focus();
    list_.EditLabel(*selected);
}

void CBookManager::OnBookLabelEdit(std::size_t index, std::string_view text) {
    std::string oldName = list_.GetText(index);
    if (text.empty() || text == oldName) {
        return;
    }
    // Any characters go, but the new name must stay a folder of the root.
    if (rootPath_.empty()) {
        prompts_.Show(kInvalidBookNameMessage, kWispCaption, PromptStyle::Ok);
        return;
    }
    Outcome renamed =
        RenameBook(shell_, files_, rootPath_, oldName, text, OntoExistingBook::MoveInside);
    if (renamed.kind == Outcome::Kind::Refused) {
        prompts_.Show(renamed.message, kWispCaption, PromptStyle::Ok);
        return;
    }
    list_.SetText(index, text);  // a failure is not reported: the list changes all the same
}

void CBookManager::OnDelete() {
    std::optional<std::size_t> selected = list_.GetSelection();
    if (!selected) {
        return;
    }
    std::string name = list_.GetText(*selected);
    if (prompts_.Show(kDeleteBookQuestion, kWispCaption, PromptStyle::YesNo) != PromptAnswer::Yes) {
        return;
    }
    // An entry that names no book of the root (it could name the root itself or its parent)
    // is only taken off the list, as is one whose deletion fails.
    DeleteBook(shell_, files_, rootPath_, name, true);
    list_.Delete(*selected);
}

void CBookManager::OnBrowse() {
    std::optional<std::string> chosen = folderChooser_.ChooseFolder(rootPath_);
    if (!chosen) {
        return;
    }
    rootPath_ = *chosen;
    FillBookList();
}

}  // namespace wisp
