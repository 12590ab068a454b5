#include <gtest/gtest.h>

#include <tuple>
#include <string>

#include "CaptureTestPorts.h"
#include "core/capture/CaptureContext.h"

namespace wisp {
namespace {

TEST(ResolveResourceUrl, MakesReferencesAbsolute) {
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"http://host/dir/page.html", "pic.gif", true, "http://host/dir/pic.gif"},
        {"http://host/dir/page.html", "../up.gif", true, "http://host/up.gif"},
        {"http://host/dir/page.html", "/root.gif", true, "http://host/root.gif"},
        {"http://host/dir/page.html", "//cdn.example/c.gif", true, "http://cdn.example/c.gif"},
        {"http://host/dir/page.html", "a b.gif", true, "http://host/dir/a b.gif"},
        {"https://host/dir/page.html", "pic.gif", true, "https://host/dir/pic.gif"},
        {"HTTPS://host/dir/page.html", "/root.gif", true, "https://host/root.gif"},
        {"https://host/dir/page.html", "../x/y.gif", true, "https://host/x/y.gif"},
        // A reference written by an earlier rewrite names the same file again.
        {"http://host/dir/page.html", "News.files\\pic.gif", true,
         "http://host/dir/News.files/pic.gif"},
        // Absolute references stand as written.
        {"http://host/p.html", "http://other/x.gif", true, "http://other/x.gif"},
        {"http://host/p.html", "https://other/x.gif", true, "https://other/x.gif"},
        {"C:\\site\\p.htm", "D:\\pics\\x.gif", true, "D:\\pics\\x.gif"},
        {"C:\\site\\p.htm", "HTTP://other/x.gif", true, "HTTP://other/x.gif"},
        // An address in a query does not make the reference absolute.
        {"http://host/dir/p.html", "go.php?to=http://x/a.gif", true,
         "http://host/dir/go.php?to=http://x/a.gif"},
        {"file:///C:/site/p.htm", "img.php?u=https://x/", true,
         "file:///C:/site/img.php?u=https://x/"},
        // Local pages.
        {"file:///C:/site/p.htm", "img/a.gif", true, "file:///C:/site/img/a.gif"},
        {"C:\\site\\sub\\p.htm", "../img/a.gif", true, "C:\\site\\img/a.gif"},
        {"C:\\site\\sub\\p.htm", "/a.gif", true, "C:\\site\\sub\\a.gif"},
        {"C:\\site\\p.htm", "a.gif", true, "C:\\site\\a.gif"},
        {"/home/reader/site/p.htm", "../img/a.gif", true, "/home/reader/img/a.gif"},
        // Above the drive the walk stops and the rest stays as written.
        {"C:\\p.htm", "../../../a/b.gif", true, "C:\\../../a/b.gif"},
        {"page.htm", "a.gif", false, ""},
        // Nothing to resolve.
        {"", "HTTP://host/a.gif", true, "HTTP://host/a.gif"},  // pasted without an address
        {"", "/etc/passwd", false, ""},
        {"http://host/p.html", "", false, ""},
        // A page from the web never reaches the reader's own files.
        {"http://host/p.html", "file:///etc/passwd", false, ""},
        {"https://host/p.html", "C:\\Windows\\win.ini", false, ""},
        {"http://host/p.html", "mailto:someone@example.org", false, ""},
        {"HTTP://host/p.html", "file:///etc/passwd", false, ""},
        {"https://host/p.html", "file://host/share/a.gif", false, ""},
        {"https://host/p.html", "FILE:///C:/x.gif", false, ""},
        {"https://host/p.html", "javascript:go()/a.gif", false, ""},
        // Nor does a page from anywhere else; its web references are fetched.
        {"about:blank", "file:///etc/passwd?:\\", false, ""},
        {"data:text/html,x", "/etc/passwd", false, ""},
        {"about:blank", "https://host/a.gif", true, "https://host/a.gif"},
    };
    test::CaptureFixturePorts ports;
    CCaptureContext job(ports.Ports());
    for (const auto& [pageUrl, reference, ok, resolved] : cases) {
        std::string url = reference;
        EXPECT_EQ(job.ResolveResourceUrl(pageUrl, url), ok) << pageUrl << " + " << reference;
        EXPECT_EQ(url, ok ? resolved : reference) << pageUrl << " + " << reference;
    }
}

}  // namespace
}  // namespace wisp
