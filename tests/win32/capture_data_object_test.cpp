#include <gtest/gtest.h>

#include "StandInDataObject.h"
#include "win32/capture/DataObjectHtml.h"

namespace wisp::test {
namespace {

TEST(ReadHtmlFormat, TakesTheHtmlFormatFromGlobalMemoryOnly) {
    const CLIPFORMAT html = win32::HtmlClipboardFormat();
    EXPECT_EQ(html, ::RegisterClipboardFormatW(L"HTML Format"));

    StandInDataObject offered(html, "Version:1.0\r\nStartHTML:0");
    EXPECT_TRUE(win32::OffersHtml(&offered));
    EXPECT_EQ(win32::ReadHtmlFormat(&offered), "Version:1.0\r\nStartHTML:0");

    StandInDataObject plainText(CF_TEXT, "just text");
    EXPECT_FALSE(win32::OffersHtml(&plainText));
    EXPECT_EQ(win32::ReadHtmlFormat(&plainText), std::nullopt);

    StandInDataObject inAStream(html, "Version:1.0", TYMED_ISTREAM);
    EXPECT_EQ(win32::ReadHtmlFormat(&inAStream), std::nullopt);
    EXPECT_EQ(win32::ReadHtmlFormat(nullptr), std::nullopt);
}

}  // namespace
}  // namespace wisp::test
