#pragma once

#include <string>
#include <string_view>

#include "core/library/TreeHandOffs.h"
#include "core/library/TreeItemKind.h"
#include "core/platform/BrowserHost.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Prompts.h"
#include "core/platform/ShellFileOperations.h"
#include "core/platform/TreeControl.h"

// The tree of one book: the book as the single top item, its folders and pages below, read
// from disk one folder at a time. Items keep only a label and a kind; every path is rebuilt
// from the labels. Also the operations the reader starts from the tree (new folder, rename,
// deletions, refresh) and the drag-hover tracking of drops onto it.
namespace wisp {

struct ContentTreePorts {
    ITreeControl& control;
    IFileSystem& files;
    IShellFileOperations& shell;
    IPrompts& prompts;
};

class CContentTree final : public ITreeControlEvents {
public:
    static constexpr unsigned kHoverTimerId = 1000;
    static constexpr unsigned kHoverTimerPeriodMs = 2000;
    static constexpr std::string_view kNewFolderName = "New Folder";  // string 57698

    CContentTree(const ContentTreePorts& ports, bool showPages);
    ~CContentTree() override;
    CContentTree(const CContentTree&) = delete;
    CContentTree& operator=(const CContentTree&) = delete;

    // Where the tree hands over; each may be null (nothing happens then).
    void SetBrowserHost(IBrowserHost* browser) { browser_ = browser; }
    void SetPasteRequester(IPasteRequester* requester) { pasteRequester_ = requester; }
    void SetBuildCommand(IBuildCommand* build) { buildCommand_ = build; }
    void SetDroppedPageSaver(IDroppedPageSaver* saver) { droppedPageSaver_ = saver; }

    // Listing.
    void SetShowPages(bool showPages) { showPages_ = showPages; }
    bool ShowsPages() const { return showPages_; }
    void ShowBook(std::string_view root, std::string_view book);
    void FillFolder(std::string_view folderPath, TreeItem parent);
    bool HasVisibleChildren(std::string_view folderPath) const;
    void OnItemExpanding(TreeItem item, bool expandedOnce) override;

    // Items and their paths.
    std::string GetItemPath(TreeItem item) const;
    // The folder item an operation on `item` works on (a page's parent) with its path in
    // `folderPath`; kNoTreeItem, with `folderPath` untouched, for a page without parent.
    TreeItem GetTargetFolder(TreeItem item, std::string& folderPath) const;
    TreeItem InsertFolderItem(TreeItem parent, std::string_view label);
    // A page item (a dropped page being named) as the first child of parent.
    TreeItem InsertPageItem(TreeItem parent, std::string_view label);
    void SetItemLabel(TreeItem item, std::string_view text);

    TreeItem TopItem() const;
    TreeItem SelectedItem() const;
    TreeItem DropHighlightItem() const;
    int KindOf(TreeItem item) const;
    std::string LabelOf(TreeItem item) const;
    TreeItem FirstChildOf(TreeItem item) const;
    TreeItem NextSiblingOf(TreeItem item) const;
    ITreeControl& Control() { return control_; }

    const std::string& RootPath() const { return rootPath_; }
    const std::string& BookName() const { return bookName_; }

    // The browser shows the newly selected page; a folder leaves it; no item shows a blank page.
    void OpenPageInBrowser(IBrowserHost& browser, TreeItem newSelection);
    void OnSelectionChanged(TreeItem newSelection) override;

    // Drag-hover tracking, called by the drop target.
    void OnDragHover(TreePoint screen);
    void OnHoverTimer(unsigned timerId);
    void OnDragLeave();
    void OnTimer(unsigned timerId) override { OnHoverTimer(timerId); }

    // A dropped page's new item is being named.
    bool NewPagePending() const { return newPagePending_; }
    void SetNewPagePending(bool pending) { newPagePending_ = pending; }

    // Page operations.
    void OnRightButtonUp(TreePoint client) override { OnContextMenu(client); }
    void OnContextMenu(TreePoint client);
    // Runs one of the tree's commands; false for a command that is not the tree's.
    bool OnCommand(int command);
    void NewFolder();
    void RenameSelected();
    void OnEndLabelEdit(TreeItem item, std::string_view text) override;
    void DeleteFolder();
    void DeletePage();
    void RefreshBook();
    void ForwardPaste();

private:
    TreeItem InsertItem(TreeItem parent, TreeInsertPosition position, std::string_view label,
                        int kind, bool hasExpandButton);
    std::string TopItemPath() const;

    ITreeControl& control_;
    IFileSystem& files_;
    IShellFileOperations& shell_;
    IPrompts& prompts_;
    IBrowserHost* browser_ = nullptr;
    IPasteRequester* pasteRequester_ = nullptr;
    IBuildCommand* buildCommand_ = nullptr;
    IDroppedPageSaver* droppedPageSaver_ = nullptr;

    std::string rootPath_;
    TreeItem hoverItem_ = kNoTreeItem;
    TreeItem firstHighlight_ = kNoTreeItem;
    unsigned hoverTimer_ = 0;
    bool showPages_;
    bool newPagePending_ = false;
    std::string bookName_;
};

}  // namespace wisp
