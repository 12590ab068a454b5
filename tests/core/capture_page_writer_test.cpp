#include <gtest/gtest.h>

#include <string>

#include "CaptureTestPorts.h"
#include "core/capture/PageWriter.h"

namespace wisp {
namespace {

using test::TempFolder;
using namespace std::string_literals;

TEST(WritePageFile, WritesTheOriginRecordAndTheRewrittenHtml) {
    TempFolder temp;
    temp.MakeFolder("Book");
    const std::string pagePath = temp.Path("Book/News.htm");
    test::CaptureFixturePorts ports;
    const PageOrigin origin{"http://host/p.html", "2026-12-07T04:15:38Z"};
    const std::string time = "<meta name=\"wisp:saved\" content=\"2026-12-07T04:15:38Z\">";
    const std::string meta =
        "<!-- saved from url=(0018)http://host/p.html -->\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">" + time;

    // A page without an address (a paste) records the time alone.
    CCaptureContext empty(ports.Ports());
    empty.Init("", "", pagePath);
    ASSERT_TRUE(WritePageFile(*ports.files, empty, pagePath, {"", origin.savedAt}));
    EXPECT_EQ(temp.Read("Book/News.htm"), std::string(kPageMetaText) + time);

    CCaptureContext job(ports.Ports());
    const std::string html =
        "<HTML><HEAD><META charset=\"latin1\"></HEAD>"
        "<IMG src=\"a.gif\">\r\n\xe9\0x</HTML>"s;
    job.Init(html, "http://host/p.html", pagePath);
    job.LocalizeResources();
    ASSERT_TRUE(WritePageFile(*ports.files, job, pagePath, origin));
    EXPECT_EQ(temp.Read("Book/News.htm"), meta + job.Html());
    EXPECT_EQ(ReadPageOrigin(temp.Read("Book/News.htm"))->url, origin.url);
    EXPECT_NE(job.Html().find(test::Native("News.files/a.gif")), std::string::npos);

    EXPECT_FALSE(WritePageFile(*ports.files, job, temp.Path("Missing/News.htm"), origin));

    // A DOCTYPE stays first, or the page renders in quirks mode.
    const std::pair<std::string, std::string> doctypes[] = {
        {"<!DOCTYPE html><HTML></HTML>", "<!DOCTYPE html>" + meta + "<HTML></HTML>"},
        {"\n<!doctype HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<HTML>",
         "\n<!doctype HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">" + meta + "\n<HTML>"},
        {"<HTML><!DOCTYPE html>", meta + "<HTML><!DOCTYPE html>"},
        {"<!DOCTYPE html", meta + "<!DOCTYPE html"},
    };
    for (const auto& [html, written] : doctypes) {
        CCaptureContext page(ports.Ports());
        page.Init(html, "", pagePath);
        ASSERT_TRUE(WritePageFile(*ports.files, page, pagePath, origin));
        EXPECT_EQ(temp.Read("Book/News.htm"), written) << html;
    }
}

}  // namespace
}  // namespace wisp
