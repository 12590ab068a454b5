#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/capture/ScriptRemoval.h"

namespace wisp {
namespace {

TEST(RemoveScripts, LeavesASnapshotWithoutScriptsHandlersOrNoscript) {
    const std::pair<std::string, std::string> cases[] = {
        {"<HEAD><SCRIPT src=\"a.js\"></SCRIPT><script>if (a</b) x()</script></HEAD><P>t</P>",
         "<HEAD></HEAD><P>t</P>"},
        {"<BODY onload=\"go()\" class=x ONCLICK='y()' on><IMG onerror=z src=p.png>",
         "<BODY class=x on><IMG src=p.png>"},
        {"<NOSCRIPT><IMG src=\"n.png\"></NOSCRIPT>a<noscript >x</noscript >b", "ab"},
        // Comments and the text of other raw text elements are no markup.
        {"<!-- <script>x</script> --><TEXTAREA><b onclick=x></TEXTAREA>",
         "<!-- <script>x</script> --><TEXTAREA><b onclick=x></TEXTAREA>"},
        {"<TITLE>a <script>b</script></TITLE>", "<TITLE>a <script>b</script></TITLE>"},
        {"<svg><script>s()</script><a onclick=\"f()\"/></svg><noscripts>",
         "<svg><a/></svg><noscripts>"},
        // An unfinished script runs to the end.
        {"<P>a<SCRIPT>b", "<P>a"},
    };
    for (const auto& [html, snapshot] : cases) {
        EXPECT_EQ(RemoveScripts(html), snapshot) << html;
    }
}

}  // namespace
}  // namespace wisp
