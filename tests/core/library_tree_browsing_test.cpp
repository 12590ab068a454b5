#include <gtest/gtest.h>

#include "library_tree_fixture.h"

namespace wisp {
namespace {

using test::TreeFixture;

struct HoverFixture : TreeFixture {
    HoverFixture() {
        temp.MakeFile("R/B/Ch/a.htm");
        temp.MakeFile("R/B/Other/b.htm");
        temp.MakeFolder("R/B/Empty");
        temp.MakeFile("R/B/Cover.htm");
        ShowBook("B");
    }
    // The screen point on an item's label, as the drag loop reports it.
    TreePoint Screen(TreeItem item) const {
        return control.ClientToScreen(control.PointOnLabel(item));
    }
};

TEST(OpenPageInBrowser, PagesNavigateFoldersDoNotNoItemIsBlank) {
    TreeFixture f;
    f.temp.MakeFile("R/B/Intro/News.htm");
    f.temp.MakeFile("R/B/Upper.HTM");
    f.temp.MakeFile("R/B/x.htm.d/Deep.HTM");
    f.ShowBook("B");

    f.control.Select(f.Item({"Intro"}));
    EXPECT_TRUE(f.browser.navigations.empty());

    f.control.Expand(f.Item({"Intro"}));
    f.control.Select(f.Item({"Intro", "News.htm"}));
    EXPECT_EQ(f.browser.navigations.back(), f.temp.Path("R/B/Intro/News.htm"));

    // A page found only by its capital ending is shown only when ".htm" is somewhere in its
    // path.
    f.browser.navigations.clear();
    f.control.Select(f.Item({"Upper.HTM"}));
    EXPECT_TRUE(f.browser.navigations.empty());
    f.control.Expand(f.Item({"x.htm.d"}));
    f.control.Select(f.Item({"x.htm.d", "Deep.HTM"}));
    EXPECT_EQ(f.browser.navigations, std::vector<std::string>{f.temp.Path("R/B/x.htm.d/Deep.HTM")});

    f.control.Select(kNoTreeItem);
    EXPECT_EQ(f.browser.navigations.back(), "about:blank");

    // Without a browser nothing is shown.
    f.tree.SetBrowserHost(nullptr);
    f.browser.navigations.clear();
    f.control.Select(f.Item({"Intro", "News.htm"}));
    EXPECT_TRUE(f.browser.navigations.empty());
}

TEST(OnDragHover, FolderHighlightedAndOpenedWhenTheTimerFires) {
    HoverFixture f;
    TreeItem chapter = f.Item({"Ch"});
    f.tree.OnDragHover(f.Screen(chapter));
    // A page or empty space changes nothing.
    f.tree.OnDragHover(f.Screen(f.Item({"Cover.htm"})));
    f.tree.OnDragHover(f.control.ClientToScreen({5, 5000}));
    EXPECT_EQ(f.control.GetDropHighlight(), chapter);
    EXPECT_TRUE(f.control.IsTimerRunning(CContentTree::kHoverTimerId));
    EXPECT_EQ(f.control.TimerPeriod(CContentTree::kHoverTimerId), 2000u);
    EXPECT_FALSE(f.control.IsExpanded(chapter));

    f.control.FireTimer(CContentTree::kHoverTimerId);
    EXPECT_FALSE(f.control.IsTimerRunning(CContentTree::kHoverTimerId));
    EXPECT_TRUE(f.control.IsExpanded(chapter));
    EXPECT_EQ(f.control.ChildLabels(chapter), std::vector<std::string>{"a.htm"});
}

TEST(OnHoverTimer, OpensOnlyTheStillHighlightedFolderWithChildren) {
    HoverFixture f;
    TreeItem chapter = f.Item({"Ch"});
    TreeItem empty = f.Item({"Empty"});
    f.tree.OnDragHover(f.Screen(chapter));
    f.tree.OnDragHover(f.Screen(empty));
    EXPECT_EQ(f.control.GetDropHighlight(), empty);
    f.control.FireTimer(CContentTree::kHoverTimerId);
    EXPECT_FALSE(f.control.IsExpanded(chapter));
    EXPECT_FALSE(f.control.IsExpanded(empty));

    // The timer started over one folder opens the folder under the pointer when it fires.
    TreeItem other = f.Item({"Other"});
    f.tree.OnDragLeave();
    f.tree.OnDragHover(f.Screen(chapter));
    f.tree.OnDragHover(f.Screen(other));
    f.control.FireTimer(CContentTree::kHoverTimerId);
    EXPECT_TRUE(f.control.IsExpanded(other));
    EXPECT_FALSE(f.control.IsExpanded(chapter));

    // The highlight moved away from the hovered item (a drop removes it, say).
    f.tree.OnDragLeave();
    f.tree.OnDragHover(f.Screen(chapter));
    f.control.SetDropHighlight(kNoTreeItem);
    f.control.FireTimer(CContentTree::kHoverTimerId);
    EXPECT_FALSE(f.control.IsExpanded(chapter));
}

TEST(OnDragLeave, ClearsHighlightAndTimerAndAnyTimerIsKilled) {
    HoverFixture f;
    f.tree.OnDragHover(f.Screen(f.Item({"Ch"})));
    f.tree.OnDragLeave();
    EXPECT_EQ(f.control.GetDropHighlight(), kNoTreeItem);
    EXPECT_FALSE(f.control.IsTimerRunning(CContentTree::kHoverTimerId));

    // Tracking starts afresh: a new hover counts its own timer.
    f.tree.OnDragHover(f.Screen(f.Item({"Other"})));
    EXPECT_TRUE(f.control.IsTimerRunning(CContentTree::kHoverTimerId));

    // Any timer that fires is killed.
    f.control.StartTimer(77, 10);
    f.control.FireTimer(77);
    EXPECT_FALSE(f.control.IsTimerRunning(77));
}

TEST(OnDragHover, ReturningToTheFirstHighlightRestartsTheTimer) {
    HoverFixture f;
    TreeItem chapter = f.Item({"Ch"});
    TreeItem other = f.Item({"Other"});
    f.control.SetDropHighlight(chapter);  // held before tracking began
    f.tree.OnDragHover(f.Screen(other));
    EXPECT_TRUE(f.control.IsTimerRunning(CContentTree::kHoverTimerId));
    f.control.KillTimer(CContentTree::kHoverTimerId);
    f.tree.OnDragHover(f.Screen(chapter));
    EXPECT_TRUE(f.control.IsTimerRunning(CContentTree::kHoverTimerId));
    f.control.FireTimer(CContentTree::kHoverTimerId);
    EXPECT_TRUE(f.control.IsExpanded(chapter));
}

}  // namespace
}  // namespace wisp
