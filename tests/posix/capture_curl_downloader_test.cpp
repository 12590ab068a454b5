#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "posix/support/LoopbackServer.h"
#include "core/platform/NativePorts.h"
#include "posix/capture/ConcurrentFetch.h"
#include "posix/capture/CurlDownloader.h"
#include "posix/capture/CurlUrlCombiner.h"
#include "posix/capture/WebPageSource.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::TempFolder;

const std::string kImage = std::string("GIF89a\x01\x00\x01\x00\0\0\xff", 13) + "pixels";

class CurlDownloaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        httplib::Server& routes = server.Routes();
        routes.Get("/pic.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(kImage, "image/gif");
        });
        routes.Get("/a b.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("spaced", "image/gif");
        });
        routes.Get("/redirect", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/pic.gif");
        });
        routes.Get("/to-local-file", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("file:///etc/passwd");
        });
        routes.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("not found", "text/plain");
        });
        routes.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
            // Promises 1000 bytes, sends 10 and drops the connection.
            response.set_content_provider(1000, "image/gif",
                                          [](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset == 0) {
                                                  sink.write("0123456789", 10);
                                                  return true;
                                              }
                                              return false;
                                          });
        });
        routes.Get("/huge", [](const httplib::Request&, httplib::Response& response) {
            // 2 MiB with no length announced: only counting what arrives finds it too large.
            response.set_chunked_content_provider(
                "image/gif", [](size_t offset, httplib::DataSink& sink) {
                    if (offset >= 2 * 1024 * 1024) {
                        sink.done();
                        return true;
                    }
                    const std::string block(64 * 1024, 'x');
                    return sink.write(block.data(), block.size());
                });
        });
        routes.Get("/stalled", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                1000, "image/gif", [](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        sink.write("0123456789", 10);
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    return true;
                });
        });
        ASSERT_TRUE(server.Start());
    }

    test::LoopbackServer server;
    TempFolder temp;
};

TEST_F(CurlDownloaderTest, FetchesWebResourcesFollowingRedirects) {
    CurlDownloader downloader;
    EXPECT_TRUE(downloader.Download(server.Url("/pic.gif"), temp.Path("pic.gif")));
    EXPECT_EQ(temp.Read("pic.gif"), kImage);

    EXPECT_TRUE(downloader.Download(server.Url("/redirect"), temp.Path("moved.gif")));
    EXPECT_EQ(temp.Read("moved.gif"), kImage);

    // Addresses come unescaped from the URL combination.
    EXPECT_TRUE(downloader.Download(server.Url("/a b.gif"), temp.Path("spaced.gif")));
    EXPECT_EQ(temp.Read("spaced.gif"), "spaced");

    // A name as long as a name may be still gets its file.
    const std::string longest(251, 'n');
    EXPECT_TRUE(downloader.Download(server.Url("/pic.gif"), temp.Path(longest + ".gif")));
    EXPECT_EQ(temp.Read(longest + ".gif"), kImage);

    // An existing file is replaced.
    temp.MakeFile("old.gif", "old");
    EXPECT_TRUE(downloader.Download(server.Url("/pic.gif"), temp.Path("old.gif")));
    EXPECT_EQ(temp.Read("old.gif"), kImage);
}

TEST_F(CurlDownloaderTest, AFailedFetchLeavesTheFileAsItWas) {
    FetchOptions options{.connectTimeoutSeconds = 5, .stallSeconds = 1};
    options.maxResourceBytes = 1024 * 1024;
    CurlDownloader downloader(1, options);
    const std::string failing[] = {
        server.Url("/missing"),        // an HTTP error status
        server.Url("/broken"),         // the connection drops halfway
        server.Url("/stalled"),        // nothing arrives for the stall limit
        server.Url("/huge"),           // larger than a resource may be
        server.Url("/to-local-file"),  // a web page redirecting to the reader's files
        "http://127.0.0.1:1/pic.gif",  // nobody listens
        "ftp://127.0.0.1/pic.gif",     // not a protocol the capture fetches
        "gopher://127.0.0.1/x",       "",
    };
    const std::string kept = "fetched by an earlier entry";
    temp.MakeFile("News.files/pic.gif", kept);
    for (const std::string& url : failing) {
        EXPECT_FALSE(downloader.Download(url, temp.Path("News.files/pic.gif"))) << url;
        EXPECT_EQ(temp.Read("News.files/pic.gif"), kept) << url;
        EXPECT_FALSE(downloader.Download(url, temp.Path("News.files/new.gif"))) << url;
        EXPECT_FALSE(temp.Exists("News.files/new.gif")) << url;
    }
    // No temporary file stays behind.
    auto files = CreateNativeFileSystem();
    EXPECT_EQ(files->ListFolder(temp.Path("News.files"))->size(), 1u);
}

TEST_F(CurlDownloaderTest, APagesResourcesShareOneBudget) {
    FetchOptions options;
    options.maxPageBytes = 3 * 1024 * 1024;  // room for one 2 MiB resource, not for two
    const std::vector<std::string> urls = {server.Url("/huge"), server.Url("/huge")};
    const std::vector<std::string> paths = {temp.Path("one.gif"), temp.Path("two.gif")};
    std::vector<bool> fetched = FetchConcurrently(urls, paths, 1, {}, options);
    EXPECT_EQ(fetched, (std::vector<bool>{true, false}));
    EXPECT_FALSE(temp.Exists("two.gif"));
    // Each queue is a page of its own.
    EXPECT_EQ(FetchConcurrently({urls[0]}, {temp.Path("three.gif")}, 1, {}, options),
              std::vector<bool>{true});
}

TEST_F(CurlDownloaderTest, CopiesLocalFilesByUrlAndByPath) {
    temp.MakeFile("site/img/a b%20#?.gif", "local image");
    CurlDownloader downloader;
    EXPECT_TRUE(downloader.Download(temp.Path("site/img/a b%20#?.gif"), temp.Path("copy.gif")));
    EXPECT_EQ(temp.Read("copy.gif"), "local image");

    temp.MakeFile("site/plain.gif", "plain");
    EXPECT_TRUE(downloader.Download("file://" + temp.Path("site/plain.gif"), temp.Path("p.gif")));
    EXPECT_EQ(temp.Read("p.gif"), "plain");

    EXPECT_FALSE(downloader.Download(temp.Path("site/none.gif"), temp.Path("none.gif")));
    EXPECT_FALSE(temp.Exists("none.gif"));
    EXPECT_FALSE(downloader.Download(temp.Path("site"), temp.Path("folder.gif")));
    EXPECT_FALSE(temp.Exists("folder.gif"));
}

TEST(FetchStyleSheet, APageFromTheWebCannotNameTheReadersOwnFiles) {
    TempFolder temp;
    const std::string sheet = "file://" + temp.MakeFile("s.css", "p{}");
    CurlUrlCombiner urls;
    EXPECT_EQ(FetchStyleSheet("file://" + temp.Path("page.html"), "s.css", urls), "p{}");
    EXPECT_EQ(FetchStyleSheet("http://127.0.0.1:9/page.html", sheet, urls), std::nullopt);
    EXPECT_EQ(FetchStyleSheet("HTTPS://127.0.0.1:9/page.html", sheet, urls), std::nullopt);
}

}  // namespace
}  // namespace wisp
