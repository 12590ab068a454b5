#include <gtest/gtest.h>

#include "cli/JsonText.h"

namespace wisp::cli {
namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsValidUtf8) {
    struct Case {
        std::string_view text;
        std::string_view json;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"", R"("")"},
        {"Book", R"("Book")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"a\\b", R"("a\\b")"},
        {"a/b", R"("a/b")"},
        {"tab\tnew\nline\rret", R"("tab\tnew\nline\rret")"},
        {"\b\f", R"("\b\f")"},
        {"\x01\x1f"sv, R"("\u0001\u001f")"},
        {"nul\0end"sv, R"("nul\u0000end")"},
        {"\x7f", "\"\x7f\""},
        {"Caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x93\x96",
         "\"Caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x93\x96\""},
        // Bytes that are not UTF-8: stray continuation, Latin-1, cut sequence, overlong
        // forms, a surrogate, beyond U+10FFFF.
        {"\x80", R"("\ufffd")"},
        {"Caf\xe9.htm", R"("Caf\ufffd.htm")"},
        {"\xe6\x97", R"("\ufffd\ufffd")"},
        {"\xc0\xaf", R"("\ufffd\ufffd")"},
        {"\xe0\x80\xaf", R"("\ufffd\ufffd\ufffd")"},
        {"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
        {"\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},
        {"\xe6\x97x", R"("\ufffd\ufffdx")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(JsonString(c.text), c.json);
    }
}

}  // namespace
}  // namespace wisp::cli
