#include <gtest/gtest.h>

#include "CaptureTestPorts.h"
#include "core/capture/PageWriter.h"
#include "core/capture/TreeCapture.h"
#include "library_tree_fixture.h"
#include "support/OriginRecord.h"

namespace wisp {
namespace {

using test::Native;

const std::string kWeeklyNotes =
    "Version:1.0\r\nStartHTML:0\r\nSourceURL:http://example.org/news/weekly.html\r\n"
    "<HTML><HEAD><TITLE>Weekly Notes</TITLE></HEAD><BODY><IMG src=\"pic.png\"></BODY></HTML>";

TEST(PasteIntoTree, SavesIntoTheSelectedItemsFolderUnderItsTitle) {
    test::TreeFixture fixture;
    test::CaptureFixturePorts capture;
    fixture.temp.MakeFile("R/News/Old.htm", "old");
    fixture.ShowBook("News");

    EXPECT_FALSE(PasteIntoTree(fixture.tree, kWeeklyNotes, capture.Ports()));  // nothing selected

    fixture.control.Select(fixture.Item({"Old.htm"}));
    EXPECT_FALSE(PasteIntoTree(fixture.tree, "", capture.Ports()));
    ASSERT_TRUE(PasteIntoTree(fixture.tree, kWeeklyNotes, capture.Ports()));

    TreeItem book = fixture.control.GetTopItem();
    TreeItem pasted = fixture.control.GetFirstChild(book);
    EXPECT_EQ(fixture.control.GetLabel(pasted), "Weekly Notes.htm");
    EXPECT_EQ(fixture.control.GetSelection(), pasted);
    EXPECT_EQ(test::WithoutOriginRecord(fixture.temp.Read("R/News/Weekly Notes.htm"),
                                        "http://example.org/news/weekly.html"),
              std::string(kPageMetaText) +
                  "<HTML><HEAD><TITLE>Weekly Notes</TITLE></HEAD><BODY><IMG src=\"" +
                  Native("Weekly%20Notes.files/pic.png") + "\"></BODY></HTML>");
    ASSERT_EQ(capture.downloader.requests.size(), 1u);
    EXPECT_EQ(capture.downloader.requests[0].first, "http://example.org/news/pic.png");
}

TEST(DroppedPage, IsNamedByTheReaderOrKeepsItsTitle) {
    test::TreeFixture fixture;
    test::CaptureFixturePorts capture;
    fixture.temp.MakeFolder("R/News/Sports");
    fixture.ShowBook("News");
    CDroppedPage dropped(fixture.tree, capture.Ports());
    fixture.tree.SetDroppedPageSaver(&dropped);

    EXPECT_FALSE(dropped.Drop(kWeeklyNotes));  // no folder highlighted

    // Esc in the label editor: saved under the title, which becomes the label.
    TreeItem sports = fixture.Item({"Sports"});
    fixture.control.SetDropHighlight(sports);
    ASSERT_TRUE(dropped.Drop(kWeeklyNotes));
    EXPECT_EQ(fixture.control.GetDropHighlight(), kNoTreeItem);
    TreeItem item = fixture.control.EditingItem();
    EXPECT_EQ(fixture.control.GetLabel(item), "Weekly Notes");
    EXPECT_EQ(fixture.control.GetParent(item), sports);
    fixture.control.EndLabelEdit("");
    EXPECT_EQ(fixture.control.GetLabel(item), "Weekly Notes.htm");
    EXPECT_TRUE(fixture.temp.Exists("R/News/Sports/Weekly Notes.htm"));
    EXPECT_FALSE(fixture.tree.NewPagePending());

    // A drop without a title, named by the reader.
    fixture.control.SetDropHighlight(fixture.control.GetTopItem());
    ASSERT_TRUE(dropped.Drop("Version:1.0\r\nSourceURL:\r\n<HTML><BODY>x</BODY></HTML>"));
    item = fixture.control.EditingItem();
    EXPECT_EQ(fixture.control.GetLabel(item), "New File");
    fixture.control.EndLabelEdit("Typed");
    EXPECT_EQ(fixture.control.GetLabel(item), "Typed.htm");
    EXPECT_EQ(test::WithoutOriginRecord(fixture.temp.Read("R/News/Typed.htm")),
              std::string(kPageMetaText) + "<HTML><BODY>x</BODY></HTML>");
}

}  // namespace
}  // namespace wisp
