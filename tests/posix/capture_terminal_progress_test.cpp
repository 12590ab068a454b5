#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "posix/capture/TerminalDownloadProgress.h"

namespace wisp {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Written(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    return text;
}

void RunDownloads(IDownloadProgress& progress) {
    progress.Show();
    progress.SetStatus("http://host/before-a-count.gif");  // nothing to count yet
    progress.SetCount(1, 4);
    progress.SetStatus("http://host/" + std::string(38, 'd') + "/a.gif");
    progress.SetCount(4, 4);
    progress.SetStatus("http://host/\x1b]0;title\x07.gif");
    progress.Close();
    progress.Close();
}

TEST(TerminalDownloadProgress, DrawsABarOnATerminalOnlyAndClearsItsLineOnce) {
    std::unique_ptr<std::FILE, FileCloser> terminal(std::tmpfile());
    ASSERT_TRUE(terminal);
    {
        TerminalDownloadProgress shown(terminal.get(), true, 80);
        RunDownloads(shown);
    }
    EXPECT_EQ(Written(terminal.get()),
              "\r\033[KDownloading [####...............] 1/4 " + std::string(35, 'd') +
                  "/a.gif\r\033[KDownloading [###################] 4/4 "
                  "http://host/?]0;title?.gif\r\033[K");

    std::unique_ptr<std::FILE, FileCloser> pipe(std::tmpfile());
    ASSERT_TRUE(pipe);
    TerminalDownloadProgress silent(pipe.get(), false);
    RunDownloads(silent);
    EXPECT_EQ(Written(pipe.get()), "");
}

TEST(TerminalDownloadProgress, LineFitsTheTerminalAndCutsAddressesOnACharacter) {
    const std::string address = "http://host/" + std::string(100, 'x') + "/\xC3\xA9t\xC3\xA9.png";
    struct Case {
        std::size_t columns;
        std::string expected;
    };
    const Case cases[] = {
        {40, "Downloading [.........] 13/130 t\xC3\xA9.png"},
        {20, "13/130 xx/\xC3\xA9t\xC3\xA9.png"},
        {12, "13/130 .png"},
        {5, "13/1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatProgressLine(13, 130, address, c.columns), c.expected) << c.columns;
    }
}

}  // namespace
}  // namespace wisp
