#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "core/capture/ClipboardHtml.h"

namespace wisp {
namespace {

// Whether it parsed, the title, the source address and the HTML.
using Parsed = std::tuple<bool, std::string, std::string, std::string>;

Parsed ParseText(const std::string& text) {
    CClipboardHtml parser;
    parser.SetText(text);
    bool ok = parser.Parse();
    return {ok, parser.GetTitle(), parser.GetSourceUrl(), parser.GetHtml()};
}

// A header as browsers write it, with byte offsets that point at the markup.
std::string WithHeader(const std::string& version, const std::string& sourceLine,
                       const std::string& markup) {
    std::string head = "Version:" + version + "\r\nStartHTML:0000000000\r\n" + sourceLine;
    std::string start = std::to_string(head.size());
    head.replace(head.find("0000000000") + 10 - start.size(), start.size(), start);
    return head + markup;
}

TEST(ClipboardHtml, ReadsTheVersionsItKnowsFromTheHeaderOffset) {
    const std::string page = "<HTML><HEAD><TITLE>Weekly Notes</TITLE></HEAD><BODY>x</BODY></HTML>";
    const std::pair<std::string, Parsed> cases[] = {
        {"Version:1.0\r\nSourceURL:http://host/notes.html\r\n" + page,
         {true, "Weekly Notes", "http://host/notes.html", page}},
        {"Version: 1.0\r\nSourceURL:http://host/a\r\n" + page, {false, "", "", ""}},
        {"Version:2.0\r\n" + page, {false, "", "", ""}},
        {"Version:1.0" + page, {false, "", "", ""}},
        {"SourceURL:http://host/a\r\n" + page, {false, "", "", ""}},
        {"", {false, "", "", ""}},
        // Version 0.9 takes its address from a BASE element.
        {"Version:0.9\r\n<HTML><BASE HREF=\"http://base/dir/\">x</HTML>",
         {true, "", "http://base/dir/", "<HTML><BASE HREF=\"http://base/dir/\">x</HTML>"}},
        {"Version:0.9\r\nSourceURL:http://src/\r\n<HTML><BASE HREF=\"http://base/\">x</HTML>",
         {true, "", "http://base/", "<HTML><BASE HREF=\"http://base/\">x</HTML>"}},
        // ... or, as browsers write it today, from its SourceURL line.
        {"Version:0.9\r\nSourceURL:https://src/p.html\r\n<HTML>x</HTML>",
         {true, "", "https://src/p.html", "<HTML>x</HTML>"}},
        // Only the capitals name a title; a missing end leaves it empty.
        {"Version:1.0\r\n<HTML><title>t</title></HTML>",
         {true, "", "", "<HTML><title>t</title></HTML>"}},
        {"Version:1.0\r\n<HTML><TITLE>open", {true, "", "", "<HTML><TITLE>open"}},
        {"Version:1.0\r\nSourceURL:http://no-end", {false, "", "", ""}},
        {"Version:1.0\r\n<TITLE>Only</TITLE>", {false, "Only", "", ""}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseText(text), expected) << text;
    }

    // Lower-case markup starts at the header's offset.
    const std::string markup = "<html><body><img src=\"a.gif\"></body></html>";
    EXPECT_EQ(ParseText(WithHeader("0.9", "SourceURL:https://host/p.html\r\n", markup)),
              Parsed(true, "", "https://host/p.html", markup));

    // An offset that is not a plain number inside the text is not followed.
    const char* badOffsets[] = {"StartHTML:99999\r\n", "StartHTML:-5\r\n", "StartHTML:\r\n",
                                "StartHTML:12x\r\n", "StartHTML:99999999999999999999\r\n"};
    for (const char* offset : badOffsets) {
        const auto [ok, title, sourceUrl, html] =
            ParseText(std::string("Version:1.0\r\n") + offset + "<html></html>");
        EXPECT_FALSE(ok) << offset;
        EXPECT_EQ(html, "") << offset;
    }
}

TEST(ClipboardHtml, SurvivesBrokenAndRandomText) {
    const std::string pieces[] = {"Version:",
                                  "1.0",
                                  "0.9",
                                  "\r\n",
                                  "\r",
                                  "SourceURL:",
                                  "<BASE HREF=\"",
                                  "\">",
                                  "<TITLE>",
                                  "</TITLE>",
                                  "<HTML>",
                                  "StartHTML:",
                                  "12",
                                  "0",
                                  std::string(1, '\0'),
                                  "\xff",
                                  "x"};
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += round % 3 == 0 ? std::string(1, static_cast<char>(byte(random)))
                                   : pieces[pick(random)];
        }
        const auto [ok, title, sourceUrl, html] = ParseText(text);
        // Whatever is taken is a piece of the text, and the HTML runs to its end.
        EXPECT_NE(text.find(title), std::string::npos);
        EXPECT_NE(text.find(sourceUrl), std::string::npos);
        EXPECT_TRUE(text.ends_with(html));
        EXPECT_EQ(ok, !html.empty()) << round;
    }
}

}  // namespace
}  // namespace wisp
