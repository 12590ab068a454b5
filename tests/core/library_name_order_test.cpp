#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/library/NameOrder.h"

namespace wisp {
namespace {

// Names compare as NTFS compares them: in capitals, as UTF-16 code units; a library listed
// on another machine must come out in the same order.
TEST(NameOrder, ComparesInCapitalsAsUtf16Units) {
    const std::tuple<const char*, const char*, bool, bool> cases[] = {
        // a, b, a before b, same name
        {"10.htm", "a.htm", true, false},
        {"b.htm", "A.htm", false, false},
        {"Notes", "notes", false, true},
        {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", false, true},  // été, ÉTÉ
        {"\xC3\xBF", "\xC5\xB8", false, true},                    // ÿ, Ÿ
        {"\xC3\xB7", "\xC3\x97", false, false},                   // ÷ is no letter
        {"\xCE\xB1\xCF\x89", "\xCE\x91\xCE\xA9", false, true},    // αω, ΑΩ
        {"\xCE\xB1", "\xCE\x92", true, false},                    // α before Β
        {"\xCF\x82", "\xCE\xA3", false, false},                   // final ς stays itself
        {"\xD1\x8F\xD1\x91", "\xD0\xAF\xD0\x81", false, true},    // яё, ЯЁ
        {"\xF0\x9F\x98\x80", "\xEF\xBF\xBD", true, false},        // a surrogate pair before U+FFFD
        {"\xE9", "\xC3\x89", false, true},  // a stray byte stands for itself: Latin-1 é, É
    };
    for (const auto& [a, b, less, same] : cases) {
        // Printed escaped: a stray byte would make the report invalid UTF-8.
        const std::string pair = testing::PrintToString(std::string(a)) + ", " +
                                 testing::PrintToString(std::string(b));
        EXPECT_EQ(NameOrderLess(a, b), less) << pair;
        EXPECT_EQ(SameNameIgnoringCase(a, b), same) << pair;
    }
}

}  // namespace
}  // namespace wisp
