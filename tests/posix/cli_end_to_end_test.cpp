#include <gtest/gtest.h>

#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// The real wisp binary, run as a user runs it, with settings kept in a temporary folder.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

class WispCommand : public ::testing::Test {
protected:
    ProgramResult Wisp(const std::vector<std::string>& args, const std::string& input = {}) {
        return test::RunProgram(WISP_BINARY, args,
                                {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")},
                                 {"XDG_DATA_HOME", temp.Path("data")}},
                                input);
    }
    TempFolder temp;
};

TEST_F(WispCommand, RootIsShownAndStored) {
    ProgramResult shown = Wisp({"root"});
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    // The default root lies in the user's data folder, not beside the program.
    EXPECT_EQ(shown.out, temp.Path("data/wisp/My eBooks") + "\n");

    std::string library = temp.MakeFolder("Library");
    EXPECT_EQ(Wisp({"root", library}).exitStatus, 0);
    EXPECT_EQ(Wisp({"root"}).out, library + "\n");
    EXPECT_EQ(Wisp({"root", "--root", "/for/one/call"}).out, "/for/one/call\n");
}

TEST_F(WispCommand, OptionsBeforeOrAfterTheCommandAndTheVersion) {
    temp.MakeFolder("Library/Travel");
    ProgramResult before = Wisp({"--root", temp.Path("Library"), "--quiet", "books"});
    EXPECT_EQ(before.exitStatus, 0) << before.err;
    EXPECT_EQ(before.out, "* Travel\n");
    EXPECT_EQ(Wisp({"books", "--root", temp.Path("Library"), "--quiet"}).out, before.out);

    const std::string version = std::string("wisp ") + WISP_VERSION + "\n";
    EXPECT_EQ(Wisp({"--version"}).out, version);
    EXPECT_EQ(Wisp({"version"}).out, version);
}

TEST_F(WispCommand, UsageErrorsExitWithTwoAndSayWhy) {
    ProgramResult none = Wisp({});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("usage: wisp"), std::string::npos);

    ProgramResult unknown = Wisp({"frobnicate"});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);

    ProgramResult help = Wisp({"root", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("usage: wisp root [PATH]"), std::string::npos);

    ProgramResult tooLong = Wisp({"root", "/" + std::string(300, 'x')});
    EXPECT_EQ(tooLong.exitStatus, 1);
    EXPECT_NE(tooLong.err.find("too long"), std::string::npos);
}

}  // namespace
}  // namespace wisp
