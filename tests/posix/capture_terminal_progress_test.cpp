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
        TerminalDownloadProgress shown(terminal.get(), true);
        RunDownloads(shown);
    }
    EXPECT_EQ(Written(terminal.get()),
              "\r\033[KDownloading [#######.......................] 1/4 " + std::string(34, 'd') +
                  "/a.gif\r\033[KDownloading [##############################] 4/4 "
                  "http://host/?]0;title?.gif\r\033[K");

    std::unique_ptr<std::FILE, FileCloser> pipe(std::tmpfile());
    ASSERT_TRUE(pipe);
    TerminalDownloadProgress silent(pipe.get(), false);
    RunDownloads(silent);
    EXPECT_EQ(Written(pipe.get()), "");
}

}  // namespace
}  // namespace wisp
