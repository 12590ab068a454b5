#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/capture/SvgSprites.h"

namespace wisp {
namespace {

TEST(InlineSvgSprites, PutsEachSavedSpriteOnceInThePageAndPointsItsUsesThere) {
    const std::map<std::string, std::string, std::less<>> saved = {
        {"P.files/icons.svg",
         "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\"><symbol id=\"a\"/>"
         "<script>steal()</script><symbol id=\"b\"/></svg>"},
        {"P.files/photo.png", "PNG"},
    };
    auto read = [&](std::string_view reference) -> std::optional<std::string> {
        auto found = saved.find(reference);
        return found == saved.end() ? std::nullopt : std::optional(found->second);
    };
    const std::string holder =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" aria-hidden=\"true\" "
        "style=\"position:absolute;width:0;height:0;overflow:hidden\">"
        "<symbol id=\"a\"/><symbol id=\"b\"/></svg>";
    EXPECT_EQ(InlineSvgSprites("<BODY><SVG><USE href=\"P.files/icons.svg#a\"></USE></SVG>"
                               "<svg><use xlink:href='P.files/icons.svg#b'/></svg></BODY>",
                               read),
              "<BODY><SVG><USE href=\"#a\"></USE></SVG><svg><use xlink:href='#b'/></svg>" +
                  holder + "</BODY>");
    // Kept: a sprite not saved, a file that is no SVG, a use without a symbol, a comment.
    const std::string kept =
        "<use href=\"http://host/i.svg#a\"><use href=\"P.files/photo.png#a\">"
        "<use href=\"P.files/icons.svg\"><!-- <use href=\"P.files/icons.svg#a\"> -->";
    EXPECT_EQ(InlineSvgSprites(kept, read), kept);
}

}  // namespace
}  // namespace wisp
