#include <gtest/gtest.h>

#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// The real wisp binary, run as a user runs it, with settings kept in a temporary folder.
namespace wisp {
namespace {

using test::ProgramResult;

TEST(WispCommand, RootIsShownAndStoredAndUsageErrorsExitWithTwo) {
    test::TempFolder temp;
    auto wisp = [&](const std::vector<std::string>& args) {
        return test::RunProgram(WISP_BINARY, args,
                                {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")},
                                 {"XDG_DATA_HOME", temp.Path("data")}});
    };
    // The default root lies in the user's data folder, not beside the program.
    EXPECT_EQ(wisp({"root"}).out, temp.Path("data/wisp/My eBooks") + "\n");
    // A default root that cannot be made is an error, not a library somewhere else.
    temp.MakeFile("data");
    ProgramResult unmade = wisp({"new-book", "B"});
    EXPECT_EQ(unmade.exitStatus, 1);
    EXPECT_EQ(unmade.err, "wisp: cannot create the library root \"" +
                              temp.Path("data/wisp/My eBooks") + "\"\n");
    std::string library = temp.MakeFolder("Library");
    EXPECT_EQ(wisp({"root", library}).exitStatus, 0);
    EXPECT_EQ(wisp({"root"}).out, library + "\n");
    // An option before the command, for this call only.
    EXPECT_EQ(wisp({"--root", "/for/one/call", "root"}).out, "/for/one/call\n");
    ProgramResult tooLong = wisp({"root", "/" + std::string(300, 'x')});
    EXPECT_EQ(tooLong.exitStatus, 1);
    EXPECT_NE(tooLong.err.find("too long"), std::string::npos);
    EXPECT_EQ(wisp({"root"}).out, library + "\n");
    // A relative root is stored whole; --default goes back to the default library.
    EXPECT_EQ(test::RunProgram("/bin/sh",
                               {"-c", "cd \"$0\" && exec \"$1\" root Library/", temp.Path(),
                                WISP_BINARY},
                               {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
                                {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")}})
                  .exitStatus,
              0);
    EXPECT_EQ(wisp({"root"}).out, library + "\n");
    EXPECT_EQ(wisp({"root", "--default"}).exitStatus, 0);
    EXPECT_EQ(wisp({"root"}).out, temp.Path("data/wisp/My eBooks") + "\n");

    const std::string version = std::string("wisp ") + WISP_VERSION + "\n";
    EXPECT_EQ(wisp({"--version"}).out, version);
    EXPECT_EQ(wisp({"version"}).out, version);
    ProgramResult none = wisp({});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("usage: wisp"), std::string::npos);
    ProgramResult overview = wisp({"help"});
    EXPECT_EQ(overview.exitStatus, 0);
    EXPECT_NE(overview.out.find("usage: wisp"), std::string::npos);
    ProgramResult help = wisp({"root", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("usage: wisp root [PATH | --default]"), std::string::npos);
}

}  // namespace
}  // namespace wisp
