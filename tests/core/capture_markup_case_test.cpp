#include <gtest/gtest.h>

#include "core/capture/MarkupCase.h"

namespace wisp {
namespace {

TEST(NormaliseMarkupCase, CapitalisesTagsAndLowersAttributeNamesOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"<html><body class=Main>Text <b>bold</b></body></html>",
         "<HTML><BODY class=Main>Text <B>bold</B></BODY></HTML>"},
        {"<img SRC=\"Logo.GIF\" Alt='A <b> Title'>", "<IMG src=\"Logo.GIF\" alt='A <b> Title'>"},
        {"<input type = image Src=go.png/><br/>", "<INPUT type = image src=go.png/><BR/>"},
        {"<link REL=stylesheet HREF=\"a.css\" disabled>",
         "<LINK rel=stylesheet href=\"a.css\" disabled>"},
        // Comments, declarations and raw text keep their letters; "<" in them starts no tag.
        {"<!DOCTYPE html><!-- <img src=x> --><p>1 < 2</p>",
         "<!DOCTYPE html><!-- <img src=x> --><P>1 < 2</P>"},
        {"<!-- a > <b>b</b> --><b>", "<!-- a > <b>b</b> --><B>"},
        {"<script>if (a<b) x = '<img src=y>';</Script ><img src=z>",
         "<SCRIPT>if (a<b) x = '<img src=y>';</SCRIPT ><IMG src=z>"},
        {"<style>a<b{}</stylex></style><title>T<i></title>",
         "<STYLE>a<b{}</stylex></STYLE><TITLE>T<i></TITLE>"},
        {"<script>unterminated <img src=q>", "<SCRIPT>unterminated <img src=q>"},
        {"<img\nSRC=a.png\tALT=x>", "<IMG\nsrc=a.png\talt=x>"},
        {"<xmp><b>as written</b></xmp>", "<XMP><b>as written</b></XMP>"},
        {"text <", "text <"},
        {"<a href=\"x\"", "<A href=\"x\""},
        {"<p title=\"caf\xC3\xA9\">\xC3\xA9t\xC3\xA9</p>",
         "<P title=\"caf\xC3\xA9\">\xC3\xA9t\xC3\xA9</P>"},
    };
    for (const auto& [html, expected] : cases) {
        EXPECT_EQ(NormaliseMarkupCase(html), expected) << html;
    }
}

}  // namespace
}  // namespace wisp
