#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"
#include "win32/capture/UrlMonDownloader.h"
#include "win32/capture/WinInetUrlCombiner.h"

namespace wisp {
namespace {

using test::TempFolder;

TEST(WinInetUrlCombiner, ResolvesWithoutEscaping) {
    struct Case {
        const char* base;
        const char* reference;
        const char* combined;
    };
    const Case cases[] = {
        {"http://host/dir/page.html", "pic.gif", "http://host/dir/pic.gif"},
        {"http://host/dir/page.html", "../up.gif", "http://host/up.gif"},
        {"http://host/dir/page.html", "/root.gif", "http://host/root.gif"},
        {"https://host/dir/page.html", "img/a.gif", "https://host/dir/img/a.gif"},
        {"http://host/dir/page.html", "http://other/x.gif", "http://other/x.gif"},
        {"http://host/dir/page.html", "a b.gif", "http://host/dir/a b.gif"},
        {"http://host/dir/page.html", "caf\xc3\xa9.gif", "http://host/dir/caf\xc3\xa9.gif"},
        // A reference the localizer wrote names the same file again.
        {"http://host/dir/page.html", "News.files\\pic.gif", "http://host/dir/News.files/pic.gif"},
    };
    win32::WinInetUrlCombiner combiner;
    for (const Case& c : cases) {
        std::optional<std::string> got = combiner.Combine(c.base, c.reference);
        ASSERT_TRUE(got.has_value()) << c.base << " + " << c.reference;
        EXPECT_EQ(*got, c.combined) << c.base << " + " << c.reference;
    }
    // A reference longer than any URL is refused, never cut to another address.
    EXPECT_EQ(combiner.Combine("http://host/dir/p.html", std::string(3000, 'n')), std::nullopt);
    const std::string longName(1500, 'n');
    EXPECT_EQ(combiner.Combine("http://host/dir/p.html", longName), "http://host/dir/" + longName);
}

TEST(UrlMonDownloader, CopiesALocalFileByItsFileUrlAndByItsPath) {
    TempFolder temp;
    const std::string source = temp.MakeFile("site/img/a.gif", "local image");
    win32::UrlMonDownloader downloader;

    std::string fileUrl = "file:///" + source;
    for (char& c : fileUrl) {
        if (c == '\\') {
            c = '/';
        }
    }
    EXPECT_TRUE(downloader.Download(fileUrl, temp.Path("by-url.gif")));
    EXPECT_EQ(temp.Read("by-url.gif"), "local image");

    EXPECT_TRUE(downloader.Download(source, temp.Path("by-path.gif")));
    EXPECT_EQ(temp.Read("by-path.gif"), "local image");

    EXPECT_FALSE(downloader.Download(temp.Path("site/none.gif"), temp.Path("none.gif")));
    EXPECT_FALSE(temp.Exists("none.gif"));
}

}  // namespace
}  // namespace wisp
