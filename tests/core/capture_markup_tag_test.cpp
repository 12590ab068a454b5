#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/capture/MarkupTag.h"

namespace wisp {
namespace {

// A page's tags read one after another into the same name and list, as the scans read them:
// nothing of a tag read before may show through in the next one.
TEST(ReadMarkupTag, EachTagReadAfreshIntoTheSameList) {
    const std::string html =
        "<A HREF=\"one.htm\" Class='x y' title=t>1</A>"
        "<a href data-X>2</a><img src = \"p.png\"/><BR>";
    struct Expected {
        std::string name;
        std::vector<std::string> attributes;  // name=value, or the name alone without a value
    };
    const Expected expected[] = {
        {"a", {"href=one.htm", "class=x y", "title=t"}},
        {"a", {"href", "data-x"}},
        {"img", {"src=p.png"}},
        {"br", {}},
    };
    std::string name;
    std::vector<MarkupAttribute> attributes;
    std::size_t at = 0;
    for (const Expected& tag : expected) {
        at = FindStartTag(html, at);
        ASSERT_NE(at, std::string::npos) << tag.name;
        at = ReadMarkupTag(html, at, name, attributes);
        std::vector<std::string> read;
        for (const MarkupAttribute& attribute : attributes) {
            read.push_back(attribute.hasValue
                               ? attribute.name + "=" +
                                     html.substr(attribute.valueStart,
                                                 attribute.valueEnd - attribute.valueStart)
                               : attribute.name);
        }
        EXPECT_EQ(name, tag.name);
        EXPECT_EQ(read, tag.attributes) << tag.name;
    }
    EXPECT_EQ(FindStartTag(html, at), std::string::npos);
}

}  // namespace
}  // namespace wisp
