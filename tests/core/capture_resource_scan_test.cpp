#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/capture/ResourceScan.h"
#include "LiteralRewrite.h"

// The scan against the rule as written, step by step, on a flat string: both must give the
// same page and ask the handler the same questions in the same order, whatever the input.
namespace wisp {
namespace {

using test::RewriteByTheLetter;

// Rewrites a value to "N.f/" and its last segment, as the localizer does with its
// companion folder; a value with "!" is kept, one with "stop" aborts the scan, and one with
// "~" is rewritten to a reference that holds a tag.
struct RecordingHandler {
    ReferenceDecision operator()(const ResourceTag& tag, std::string_view tagText,
                                 std::string_view value) {
        calls.emplace_back(std::string(tag.tagText) + "|" + std::string(tagText),
                           std::string(value));
        if (value.find("stop") != std::string_view::npos) {
            return {ReferenceDecision::Outcome::Abort, {}};
        }
        if (value.find('!') != std::string_view::npos) {
            return {};
        }
        if (value.find('~') != std::string_view::npos) {
            return {ReferenceDecision::Outcome::Rewrite, "t<IMG src=t.gif "};
        }
        std::size_t slash = value.rfind('/');
        std::string name(slash == std::string_view::npos ? value : value.substr(slash + 1));
        return {ReferenceDecision::Outcome::Rewrite, "N.f/" + name};
    }
    std::vector<std::pair<std::string, std::string>> calls;
};

void ExpectSameAsTheRule(const std::string& page) {
    RecordingHandler literal;
    RecordingHandler scanned;
    std::optional<std::string> expected =
        RewriteByTheLetter(page, [&](const ResourceTag& t, std::string_view x, std::string_view v) {
            return literal(t, x, v);
        });
    std::optional<std::string> got =
        RewriteResourceReferences(page, [&](const ResourceTag& t, std::string_view x,
                                            std::string_view v) { return scanned(t, x, v); });
    ASSERT_EQ(got, expected) << page;
    ASSERT_EQ(scanned.calls, literal.calls) << page;
}

TEST(RewriteResourceReferences, KeepsTheRuleOnChosenPages) {
    const char* pages[] = {
        "<IMG src=\"a.gif\"><IMG src=\"a.gif\"><IMG src=\"a.gif\" width=1>",
        "<IMG src=\"a.gif\" width=1><IMG src=\"a.gif\">",
        "<IMG alt=\"<IMG src=x/a.gif y\" src=\"b.gif\">",
        "<IMG src=<IMG z>",
        "<SCRIPT src=SCRIPT><IMG src=\"i.gif\">",
        "<IMG src=IMG><IMG src=\"i.gif\">",
        "<SCRIPT src=\"~\"><IMG src=\"i.gif\">",
        "<IMG src=\"a.gif\" alt=\"a.gif\"><IMG src=\"c.gif\">",
        "<IMG src=\"x/a\"><IMG src=\"a\" ><IMG src=\"N.f/a\">",
        "<A href=\"p.zip\">x</A><AREA href=\"q.zip\"><A href=\"r.ZIP\"><A href=\"s.Zip\">",
        "<FRAMESET src=\"f.htm\"><FRAME src=\"g.htm\">",
        "<IMG src=\"d/long/name.gif\"><IMG src=\"name.gif\"><IMG src=\"d/long/name.gif\">",
        "<IMG src=\"\"><IMG src=''><IMG src= >",
        "<IMG src=\"stop\"><SCRIPT src=\"s.js\">",
        "<SCRIPT src=\"s.js\"><IMG src=\"stop\">",
        "<IMG src=\"x!\"><IMG src=\"x!\">",
        "<IMG src=\"a.gif\"",
        "<IMG src=a.gif",
        "<IMG src=\"u/v/w.gif\">w.gif<IMG src=\"u/v/w.gif\"",
    };
    for (const char* page : pages) {
        ExpectSameAsTheRule(page);
    }
}

TEST(RewriteResourceReferences, KeepsTheRuleOnRandomText) {
    const std::string pieces[] = {
        "<IMG",     "<A",    "<AREA",  "<FRAME", "<FRAMESET", "<SCRIPT", "<LINK",
        "<INPUT",   "<img",  " src=",  " href=", "src=\"",    "href='",  "lowsrc=\"",
        "\"",       "'",     " ",      " ",      ">",         ">",       "a.gif",
        "b.zip",    "C.ZIP", "d/",     "N.f/",   "!",         "x",       std::string(1, '\0'),
        "\xc3\xa9", "IMG",   "SCRIPT", "~"};
    // Whole tags, so that copies of a tag are frequent.
    const std::string tags[] = {"<IMG src=\"a.gif\">",
                                "<IMG src=\"d/a.gif\">",
                                "<IMG src=\"a.gif\" w>",
                                "<IMG src=\"N.f/a.gif\">",
                                "<A href=\"b.zip\">",
                                "<IMG src=a.gif >",
                                "text ",
                                "<IMG src=\"a.gif\"",
                                "<SCRIPT src=\"d/a.gif\">"};
    std::uniform_int_distribution<std::size_t> pickTag(0, std::size(tags) - 1);
    std::mt19937 random(3);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20000; ++round) {
        std::string page;
        for (int n = length(random); n > 0; --n) {
            if (round % 10 == 0) {
                page += static_cast<char>(byte(random));
            } else if (round % 2 == 0) {
                page += tags[pickTag(random)];
            } else {
                page += pieces[pick(random)];
            }
        }
        ExpectSameAsTheRule(page);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST(RewriteResourceReferences, CopesWithHugeAndUnfinishedMarkup) {
    const std::string huge(1 << 20, 'v');
    const std::string pages[] = {
        "<IMG src=\"" + huge,
        "<IMG src=\"" + huge + "\">",
        "<IMG src=" + huge + " >",
        std::string(200000, '<'),
        [] {
            std::string many;
            for (int i = 0; i < 20000; ++i) {
                many += "<IMG src=\"a.gif\"";
            }
            return many + ">";
        }(),
    };
    for (const std::string& page : pages) {
        ExpectSameAsTheRule(page);
    }
}

}  // namespace
}  // namespace wisp
