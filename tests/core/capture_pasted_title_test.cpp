#include <gtest/gtest.h>

#include "core/capture/PastedPageTitle.h"
#include "core/library/LibraryNaming.h"
#include "core/platform/PathSeparator.h"

namespace wisp {
namespace {

TEST(PastedPageTitle, NeverNamesAPlaceOutsideTheTargetFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"Weekly Notes", "Weekly Notes"},
        {"", "New File"},
        {"..", "New File"},
        {".", "New File"},
        {" . . ", "New File"},
        {"../../etc/passwd", ".._.._etc_passwd"},
        {"a\\..\\b", "a_.._b"},
        {"Line\none\ttab", "Line one tab"},
        {"Note: what? *", "Note: what? *"},  // left for the file system to judge, as before
    };
    for (const auto& [parsed, expected] : cases) {
        std::string title = PastedPageTitle(parsed);
        EXPECT_EQ(title, expected) << parsed;
        // Whatever the title, the page lands directly in the folder.
        std::string page = *MakePagePath("Book", title);
        EXPECT_EQ(page.rfind(kPathSeparator), 4u) << parsed;
    }
}

}  // namespace
}  // namespace wisp
