#include <gtest/gtest.h>

#include <tuple>

#include "core/capture/PageMetadata.h"

namespace wisp {
namespace {

TEST(AddPageMetadata, PutsNonEmptyValuesAtTheTopOfTheHead) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"<HTML><HEAD><TITLE>T</TITLE></HEAD></HTML>", "", "",
         "<HTML><HEAD><TITLE>T</TITLE></HEAD></HTML>"},
        {"<html><head lang=en><title>T</title></head></html>", "garden, roses", "",
         "<html><head lang=en><META name=\"keywords\" content=\"garden, roses\"><title>T</title>"
         "</head></html>"},
        {"<HTML><HEADER>x</HEADER></HTML>", "", "A \"quoted\" <b> & more",
         "<HTML><META name=\"description\" content=\"A &quot;quoted&quot; &lt;b&gt; &amp; "
         "more\"><HEADER>x</HEADER></HTML>"},
        {"<P>bare</P>", "k", "d",
         "<META name=\"keywords\" content=\"k\"><META name=\"description\" "
         "content=\"d\"><P>bare</P>"},
    };
    for (const auto& [html, keywords, description, expected] : cases) {
        EXPECT_EQ(AddPageMetadata(html, keywords, description), expected) << html;
    }
}

TEST(SetPageTitle, ReplacesTheFirstTitlesTextOrPutsOneAtTheTopOfTheHead) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"<HTML><HEAD><TITLE>Old</TITLE></HEAD></HTML>", "Madrid in three days",
         "<HTML><HEAD><TITLE>Madrid in three days</TITLE></HEAD></HTML>"},
        {"<html><head><title lang=en>Old</title><title>2</title></head></html>", "A & <b> \"q\"",
         "<html><head><title lang=en>A &amp; &lt;b&gt; &quot;q&quot;</title><title>2</title></head></html>"},
        {"<HTML><HEAD><TITLEBAR>x</TITLEBAR></HEAD></HTML>", "T",
         "<HTML><HEAD><TITLE>T</TITLE><TITLEBAR>x</TITLEBAR></HEAD></HTML>"},
        {"<P>bare</P>", "T", "<TITLE>T</TITLE><P>bare</P>"},
    };
    for (const auto& [html, title, expected] : cases) {
        EXPECT_EQ(SetPageTitle(html, title), expected) << html;
    }
}

}  // namespace
}  // namespace wisp
