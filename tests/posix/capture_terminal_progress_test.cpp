#include <gtest/gtest.h>

#include <string>

#include "posix/capture/TerminalDownloadProgress.h"

// How the bar is drawn on a real terminal is checked end to end in cli_capture_test.cpp.
namespace wisp {
namespace {

TEST(TerminalDownloadProgress, LineFitsTheTerminalCutsAddressesOnACharacterAndDisarmsControls) {
    const std::string address =
        "http://host/" + std::string(100, 'x') + "/\x1b\xC3\xA9t\xC3\xA9.png";
    struct Case {
        std::size_t columns;
        std::string expected;
    };
    const Case cases[] = {
        {40, "Downloading [.........] 13/130 t\xC3\xA9.png"},
        {20, "13/130 x/?\xC3\xA9t\xC3\xA9.png"},
        {12, "13/130 .png"},
        {5, "13/1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatProgressLine(13, 130, address, c.columns), c.expected) << c.columns;
    }
}

}  // namespace
}  // namespace wisp
