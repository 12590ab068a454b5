#include <gtest/gtest.h>

#include <string>

#include "posix/capture/CurlUrlCombiner.h"
#include "posix/capture/WebPageSource.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

TEST(FetchStyleSheet, APageFromTheWebCannotNameTheReadersOwnFiles) {
    test::TempFolder temp;
    const std::string sheet = "file://" + temp.MakeFile("s.css", "p{}");
    CurlUrlCombiner urls;
    EXPECT_EQ(FetchStyleSheet("file://" + temp.Path("page.html"), "s.css", urls), "p{}");
    EXPECT_EQ(FetchStyleSheet("http://127.0.0.1:9/page.html", sheet, urls), std::nullopt);
    EXPECT_EQ(FetchStyleSheet("HTTPS://127.0.0.1:9/page.html", sheet, urls), std::nullopt);
}

}  // namespace
}  // namespace wisp
