#include <gtest/gtest.h>

#include <string>

#include "posix/support/LoopbackServer.h"
#include "core/capture/CaptureContext.h"
#include "core/capture/PageWriter.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

// A page captured from a loopback web server with the real adapters: its resources land in
// the companion folder, the saved page points at them.
namespace wisp {
namespace {

using test::TempFolder;

class SilentProgress final : public IDownloadProgress {
public:
    void Show() override {}
    void SetStatus(std::string_view) override {}
    void Close() override {}
};

TEST(CaptureEndToEnd, SavesAWebPageWithItsResources) {
    test::LoopbackServer server;
    httplib::Server& routes = server.Routes();
    routes.Get("/dir/pic.gif", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("picture", "image/gif");
    });
    routes.Get("/js/load.php", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content("script v" + request.get_param_value("v"), "text/javascript");
    });
    routes.Get("/dir/tool.zip", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("archive", "application/zip");
    });
    ASSERT_TRUE(server.Start());

    TempFolder temp;
    temp.MakeFolder("Book");
    temp.MakeFile("secret.txt", "private");
    const std::string pagePath = temp.Path("Book/News.htm");
    auto files = CreateNativeFileSystem();
    auto combiner = CreateNativeUrlCombiner();
    auto downloader = CreateNativeDownloader();
    SilentProgress progress;

    const std::string html =
        "<HTML><BODY><IMG src=\"pic.gif\"><IMG src=\"pic.gif\">"
        "<SCRIPT src=\"/js/load.php?v=2\"></SCRIPT><A href=\"tool.zip\">t</A>"
        "<A href=\"notes.html\">n</A><IMG src=\"missing.gif\">"
        "<IMG src=\"file://" +
        temp.Path("secret.txt") + "\"></BODY></HTML>";
    CCaptureContext job({*files, *combiner, *downloader, progress});
    job.Init(html, server.Url("/dir/page.html"), pagePath);
    ASSERT_TRUE(job.LocalizeResources());
    ASSERT_TRUE(job.DownloadResources());
    ASSERT_TRUE(WritePageFile(*files, job, pagePath));

    EXPECT_EQ(temp.Read("Book/News.files/pic.gif"), "picture");
    EXPECT_EQ(temp.Read("Book/News.files/load.htm"), "script v2");
    EXPECT_EQ(temp.Read("Book/News.files/tool.zip"), "archive");
    EXPECT_FALSE(temp.Exists("Book/News.files/missing.gif"));
    EXPECT_FALSE(temp.Exists("Book/News.files/secret.txt"));
    auto entries = files->ListFolder(temp.Path("Book/News.files"));
    EXPECT_EQ(entries->size(), 3u);

    EXPECT_EQ(temp.Read("Book/News.htm"),
              std::string(kPageMetaText) +
                  "<HTML><BODY><IMG src=\"News.files/pic.gif\"><IMG src=\"News.files/pic.gif\">"
                  "<SCRIPT src=\"News.files/load.htm\"></SCRIPT>"
                  "<A href=\"News.files/tool.zip\">t</A><A href=\"notes.html\">n</A>"
                  "<IMG src=\"" +
                  server.Url("/dir/missing.gif") + "\"><IMG src=\"file://" +
                  temp.Path("secret.txt") + "\"></BODY></HTML>");
}

}  // namespace
}  // namespace wisp
