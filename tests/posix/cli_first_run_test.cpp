#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "posix/support/LoopbackSite.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// The real wisp binary as a new user meets it: nothing but a home folder, no settings, no
// library, and a machine-wide settings folder that only root may write. Run as root, the test
// drops to the unprivileged "nobody" for every command.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

constexpr const char* kSetpriv = "/usr/bin/setpriv";

bool Mentions(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

class WispFirstRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.Started());
        // Whoever runs the commands must reach the folder and write only in its home.
        ::chmod(temp.Path().c_str(), 0755);
        ::chmod(temp.MakeFolder("home").c_str(), 0777);
        temp.MakeFolder("etc-wisp");
    }

    ProgramResult Wisp(const std::vector<std::string>& args) {
        std::vector<std::pair<std::string, std::string>> environment = {
            {"HOME", temp.Path("home")},
            {"XDG_CONFIG_HOME", ""},
            {"XDG_DATA_HOME", ""},
            {"WISP_USER_SETTINGS_DIR", ""},
            {"WISP_MACHINE_SETTINGS_DIR", temp.Path("etc-wisp")},
        };
        if (::geteuid() != 0) {
            return test::RunProgram(WISP_BINARY, args, environment);
        }
        std::vector<std::string> dropped = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                            "--", WISP_BINARY};
        dropped.insert(dropped.end(), args.begin(), args.end());
        return test::RunProgram(kSetpriv, dropped, environment);
    }

    ProgramResult Ok(const std::vector<std::string>& args) {
        ProgramResult result = Wisp(args);
        EXPECT_EQ(result.exitStatus, 0) << args[0] << ": " << result.err;
        return result;
    }

    TempFolder temp;
    test::LoopbackSite site{WISP_EXAMPLE_SITE};
};

TEST_F(WispFirstRun, AnOrdinaryUserMakesABookCollectsAndBuildsWithNoSetUp) {
    if (::geteuid() == 0 && ::access(kSetpriv, X_OK) != 0) {
        GTEST_SKIP() << "running as root without setpriv: cannot run as an unprivileged user";
    }
    const std::string root = temp.Path("home/.local/share/wisp/My eBooks");
    EXPECT_EQ(Ok({"root"}).out, root + "\n");
    ProgramResult books = Wisp({"books"});
    EXPECT_EQ(books.exitStatus, 1);
    EXPECT_TRUE(Mentions(books.err, "no library yet")) << books.err;
    EXPECT_FALSE(temp.Exists("home/.local/share/wisp"));

    // The first book makes the library; the settings are the user's own.
    Ok({"new-book", "Travel"});
    Ok({"new-book", "Spare"});
    Ok({"use", "Travel"});
    EXPECT_TRUE(std::filesystem::is_directory(test::FromUtf8(root + "/Travel")));
    EXPECT_TRUE(Mentions(temp.Read("home/.config/wisp/settings.reg"), "\"BookName\"=\"Travel\""));
    EXPECT_TRUE(std::filesystem::is_empty(test::FromUtf8(temp.Path("etc-wisp"))));

    // The browser runs in its sandbox for a user who is not root.
    EXPECT_TRUE(Mentions(Ok({"collect", site.Url("/index.html")}).out, "(rendered)"));
    EXPECT_TRUE(temp.Exists("home/.local/share/wisp/My eBooks/Travel/Garden Notes.htm"));
    Ok({"build", "-o", temp.Path("home/Travel.chm")});
    EXPECT_TRUE(temp.Exists("home/Travel.chm"));

    // A library folder of the reader's choosing is made when named, if its parent is there.
    Ok({"root", temp.Path("home/Books")});
    Ok({"new-book", "Work"});
    EXPECT_TRUE(temp.Exists("home/Books/Work"));
    EXPECT_TRUE(Mentions(Ok({"root", temp.Path("media/disk/Books")}).err, "does not exist yet"));
    EXPECT_FALSE(temp.Exists("media"));
}

}  // namespace
}  // namespace wisp
