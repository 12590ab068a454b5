#include <gtest/gtest.h>

#include "posix/capture/Charset.h"

namespace wisp {
namespace {

TEST(Charset, DeclarationsAreFoundInHeaderAndMeta) {
    EXPECT_EQ(CharsetFromContentType("text/html; charset=ISO-8859-1"), "iso-8859-1");
    EXPECT_EQ(CharsetFromContentType("text/html;charset=\"utf-8\""), "utf-8");
    EXPECT_EQ(CharsetFromContentType("text/html"), "");
    EXPECT_EQ(CharsetFromMeta("<html><head><META CHARSET='Shift_JIS'>"), "shift_jis");
    EXPECT_EQ(CharsetFromMeta("<meta http-equiv=\"Content-Type\" "
                              "content=\"text/html; charset=windows-1251\">"),
              "windows-1251");
    EXPECT_EQ(CharsetFromMeta("<meta name=x content=y>"), "");
    EXPECT_EQ(CharsetFromMeta(std::string(1100, ' ') + "<meta charset=utf-8>"), "");
}

TEST(Charset, PagesBecomeUtf8) {
    // "café" in Latin-1, declared by the header, then by META, then undeclared.
    std::string latin1 = "caf\xE9";
    EXPECT_EQ(DecodePage(latin1, "text/html; charset=iso-8859-1"), "caf\xC3\xA9");
    EXPECT_EQ(DecodePage("<meta charset=windows-1252>" + latin1, "text/html"),
              "<meta charset=windows-1252>caf\xC3\xA9");
    EXPECT_EQ(DecodePage(latin1, ""), "caf\xC3\xA9");
    EXPECT_EQ(DecodePage("\xE2\x82\xAC undeclared utf-8", ""), "\xE2\x82\xAC undeclared utf-8");
    EXPECT_EQ(DecodePage("\xEF\xBB\xBFwith bom", ""), "with bom");
    EXPECT_EQ(DecodePage(std::string("\xFF\xFEh\0i\0", 6), ""), "hi");
    // The header wins over META.
    EXPECT_EQ(DecodePage("<meta charset=iso-8859-1>\xC3\xA9", "text/html; charset=utf-8"),
              "<meta charset=iso-8859-1>\xC3\xA9");
    // Bytes a charset does not define become replacement characters, nothing is lost after.
    EXPECT_EQ(DecodePage("a\xFF"
                         "b",
                         "text/html; charset=utf-8"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_FALSE(DecodePage("x", "text/html; charset=no-such-charset"));
}

}  // namespace
}  // namespace wisp
