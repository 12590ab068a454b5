#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/ProgressBar.h"
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
    progress.SetStatus("http://host/a.gif");
    progress.SetStatus("http://host/\x1b]0;title\x07.gif");
    progress.Close();
}

TEST(TerminalDownloadProgress, ShowsOneStatusLineOnATerminalOnly) {
    std::unique_ptr<std::FILE, FileCloser> terminal(std::tmpfile());
    ASSERT_TRUE(terminal);
    TerminalDownloadProgress shown(terminal.get(), true);
    RunDownloads(shown);
    EXPECT_EQ(Written(terminal.get()),
              "Downloading...\n\r\033[Khttp://host/a.gif\r\033[Khttp://host/?]0;title?.gif"
              "\r\033[K");

    std::unique_ptr<std::FILE, FileCloser> pipe(std::tmpfile());
    ASSERT_TRUE(pipe);
    TerminalDownloadProgress silent(pipe.get(), false);
    RunDownloads(silent);
    EXPECT_EQ(Written(pipe.get()), "");
}

TEST(ProgressBar, DrawsOnlyWithSomethingToCountAndClearsItsLineOnce) {
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_TRUE(file);
    {
        cli::ProgressBar none(file.get(), true, "Downloading", 0);
        none.Update(0, "a.gif");
    }
    EXPECT_EQ(Written(file.get()), "") << "no resources, no bar";

    {
        cli::ProgressBar bar(file.get(), true, "Building", 4);
        bar.Update(1, std::string(38, 'd') + "/page.htm");
        bar.Finish();
        bar.Finish();
        bar.Update(4, "x.htm");
    }
    EXPECT_EQ(Written(file.get()),
              "\r\033[KBuilding [#######.......................] 1/4 " + std::string(31, 'd') +
                  "/page.htm\r\033[K\r\033[KBuilding [##############################] 4/4 x.htm"
                  "\r\033[K");
}

}  // namespace
}  // namespace wisp
