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

}  // namespace
}  // namespace wisp
