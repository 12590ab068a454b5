#include <gtest/gtest.h>

#include "core/platform/memory/MemoryListControls.h"
#include "core/platform/memory/MemoryTreeControl.h"

namespace wisp {
namespace {

class RecordingEvents final : public ITreeControlEvents {
public:
    void OnSelectionChanged(TreeItem item) override { selections.push_back(item); }
    void OnItemExpanding(TreeItem item, bool once) override { expansions.emplace_back(item, once); }
    void OnEndLabelEdit(TreeItem item, std::string_view text) override {
        edits.emplace_back(item, std::string(text));
    }
    void OnTimer(unsigned id) override { timers.push_back(id); }
    void OnRightButtonUp(TreePoint) override {}

    std::vector<TreeItem> selections;
    std::vector<std::pair<TreeItem, bool>> expansions;
    std::vector<std::pair<TreeItem, std::string>> edits;
    std::vector<unsigned> timers;
};

TreeItemContent Folder(std::string label) {
    TreeItemContent content;
    content.label = std::move(label);
    content.kind = 2;
    return content;
}

TEST(MemoryTreeControl, RowsFollowExpansionAndHitTestingFindsLabels) {
    MemoryTreeControl control({10, 20});
    RecordingEvents events;
    control.SetEvents(&events);
    TreeItem top = control.InsertItem(kNoTreeItem, TreeInsertPosition::Last, Folder("Book"));
    TreeItem b = control.InsertItem(top, TreeInsertPosition::Last, Folder("B"));
    TreeItem a = control.InsertItem(top, TreeInsertPosition::First, Folder("A"));
    EXPECT_EQ(control.ChildLabels(top), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(control.GetNextSibling(a), b);
    EXPECT_EQ(control.GetParent(b), top);

    // Collapsed: only the top row is shown.
    EXPECT_EQ(control.HitTest({5, MemoryTreeControl::kRowHeight + 2}).item, kNoTreeItem);
    control.Expand(top);
    ASSERT_EQ(events.expansions.size(), 1u);
    EXPECT_EQ(events.expansions[0], std::make_pair(top, false));
    TreeHit onB = control.HitTest(control.PointOnLabel(b));
    EXPECT_EQ(onB.item, b);
    EXPECT_TRUE(onB.onIconOrLabel);
    TreeHit besideB = control.HitTest(control.PointBesideLabel(b));
    EXPECT_EQ(besideB.item, b);
    EXPECT_FALSE(besideB.onIconOrLabel);
    TreePoint screen = control.ClientToScreen(control.PointOnLabel(a));
    EXPECT_EQ(control.HitTest(control.ScreenToClient(screen)).item, a);

    // Reopening tells that the item was open before.
    control.Collapse(top);
    control.Expand(top);
    EXPECT_EQ(events.expansions.back(), std::make_pair(top, true));
    // An item without children or button does not open.
    control.Expand(a);
    EXPECT_FALSE(control.IsExpanded(a));
}

TEST(MemoryTreeControl, DeletingTheSelectedBranchReportsNoSelection) {
    MemoryTreeControl control;
    RecordingEvents events;
    control.SetEvents(&events);
    TreeItem top = control.InsertItem(kNoTreeItem, TreeInsertPosition::Last, Folder("Book"));
    TreeItem chapter = control.InsertItem(top, TreeInsertPosition::Last, Folder("Ch"));
    TreeItem page = control.InsertItem(chapter, TreeInsertPosition::Last, Folder("p"));
    control.Select(page);
    control.Select(page);  // no change, no event
    control.EditLabel(page);
    control.SetDropHighlight(page);
    control.DeleteItem(chapter);
    EXPECT_EQ(events.selections, (std::vector<TreeItem>{page, kNoTreeItem}));
    EXPECT_FALSE(control.Exists(page));
    EXPECT_EQ(control.GetDropHighlight(), kNoTreeItem);
    EXPECT_EQ(control.EditingItem(), kNoTreeItem);
    control.EndLabelEdit("x");  // no edit running: nothing reported
    EXPECT_TRUE(events.edits.empty());
    EXPECT_EQ(control.ItemCount(), 1u);
}

TEST(MemorySortedBookList, SortsWithoutCaseAndKeepsTheSelectedEntry) {
    MemorySortedBookList list;
    for (const char* name : {"delta", "Bravo", "alpha"}) {
        list.Add(name);
    }
    list.Select(1);  // Bravo
    EXPECT_EQ(list.Add("Charlie"), 2u);
    EXPECT_EQ(list.Add("ALPHA"), 1u);  // after its equal
    EXPECT_EQ(list.Entries(),
              (std::vector<std::string>{"alpha", "ALPHA", "Bravo", "Charlie", "delta"}));
    EXPECT_EQ(list.GetText(*list.GetSelection()), "Bravo");
    list.Clear();
    EXPECT_FALSE(list.GetSelection());
}

TEST(MemoryBookManagerList, InsertAndDeleteKeepSelectionOnItsEntry) {
    MemoryBookManagerList list;
    list.Insert(0, "A");
    list.Insert(0, "B");
    ASSERT_TRUE(list.SelectAndFocus(1));  // A
    list.Insert(0, "C");
    EXPECT_EQ(list.GetText(*list.GetSelection()), "A");
    list.Delete(0);
    EXPECT_EQ(list.GetText(*list.GetSelection()), "A");
    list.Delete(*list.GetSelection());
    EXPECT_FALSE(list.GetSelection());
    EXPECT_FALSE(list.SelectAndFocus(5));
    EXPECT_EQ(list.Entries(), std::vector<std::string>{"B"});
}

}  // namespace
}  // namespace wisp
