#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <regex>
#include <unistd.h>

#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"
#include "posix/platform/FileSettingsStore.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::TempFolder;

class FileSettingsStoreTest : public ::testing::Test {
protected:
    std::optional<std::string> UserValue(std::string_view key, std::string_view name) const {
        return store.ReadString(SettingsHive::CurrentUser, key, name, KeyAccess::Read);
    }
    TempFolder temp;
    FileSettingsStore store{temp.Path("user/settings.reg"), temp.Path("machine/settings.reg")};
};

TEST_F(FileSettingsStoreTest, BothHivesAreTheUsersOwnOverMachineWideDefaults) {
    EXPECT_FALSE(UserValue("Software\\Wisp", "eBookPath"));
    temp.MakeFile(
        "machine/settings.reg",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qexo\\Wisp]\n\"BookName\"=\"Shared\"\n"
        "\n[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=\"/srv/books\"\n");
    EXPECT_EQ(ReadBookName(store), "Shared");
    EXPECT_EQ(ReadLibraryRoot(store), "/srv/books");

    ASSERT_TRUE(WriteLibraryRoot(store, "/home/r/My \"quoted\" \\ eBooks\nnext"));
    ASSERT_TRUE(WriteBookName(store, "Travel"));
    EXPECT_EQ(ReadBookName(store), "Travel");
    EXPECT_EQ(ReadLibraryRoot(store), "/home/r/My \"quoted\" \\ eBooks\nnext");

    // Both values went to the user's file; the defaults are only read.
    EXPECT_EQ(temp.Read("user/settings.reg"),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wisp]\n"
              "\"eBookPath\"=\"/home/r/My \\\"quoted\\\" \\\\ eBooks\\nnext\"\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qexo\\Wisp]\n\"BookName\"=\"Travel\"\n");
    EXPECT_NE(temp.Read("machine/settings.reg").find("Shared"), std::string::npos);

    // Key paths and value names compare without case, as in the registry.
    EXPECT_EQ(store.ReadString(SettingsHive::LocalMachine, "software\\qexo\\WISP", "bookname",
                               KeyAccess::Full),
              "Travel");
}

TEST_F(FileSettingsStoreTest, AWriteKeepsOtherKeysAndValues) {
    // Edited by hand: line ends of another system, blanks after a line, a comment, a key
    // written twice.
    temp.MakeFile("user/settings.reg",
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other] \t\r\n\"Keep\"=\"me\"\t\r\n"
                  "; Keep is read by another program\n"
                  "@=\"default\"\n\n[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=\"/old\"\n"
                  "\"Extra\"=\"x\"\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Later\"=\"too\"\n");
    ASSERT_TRUE(WriteLibraryRoot(store, "/new"));
    EXPECT_EQ(UserValue("Software\\Other", "Keep"), "me");
    EXPECT_EQ(UserValue("Software\\Other", "Later"), "too");
    EXPECT_FALSE(UserValue("Software\\Wisp", "Later"));
    EXPECT_EQ(UserValue("Software\\Other", ""), "default");
    EXPECT_EQ(UserValue("Software\\Wisp", "Extra"), "x");
    EXPECT_EQ(UserValue("Software\\Wisp", "eBookPath"), "/new");
    // Nothing but the settings file and its lock file is left in its folder: the temporary
    // file was renamed.
    std::vector<std::string> names;
    std::optional<std::vector<FolderEntry>> entries =
        CreateNativeFileSystem()->ListFolder(temp.Path("user"));
    ASSERT_TRUE(entries);
    for (const FolderEntry& entry : *entries) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"settings.reg", "settings.reg.lock"}));
}

TEST_F(FileSettingsStoreTest, LinesThatCannotBeReadAreSaidAndTheFileIsKeptAsideBeforeAWrite) {
    struct Case {
        const char* text;
        std::size_t badLine;
    };
    const Case corrupt[] = {
        {"not a settings file\n", 1},
        {"REGEDIT4\n\"eBookPath\"=\"/before/any/key\"\n", 2},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=\"/unterminated\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=dword:00000001\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Wisp\n\"eBookPath\"=\"/x\"\n", 2},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=\"/bad\\q\"\n", 3},
    };
    for (const Case& c : corrupt) {
        temp.MakeFile("user/settings.reg", c.text);
        EXPECT_FALSE(UserValue("Software\\Wisp", "eBookPath")) << c.text;
        EXPECT_EQ(store.ReadProblem(),
                  "cannot read line " + std::to_string(c.badLine) + " of the settings file " +
                      temp.Path("user/settings.reg") + "; what the rest of it holds is used");
    }
    // One bad line loses nothing else, and a write never goes over it.
    const std::string text =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qexo\\Wisp]\n\"BookName\"=\"Kept\"\n"
        "[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=/unquoted\n";
    temp.MakeFile("user/settings.reg", text);
    EXPECT_EQ(ReadBookName(store), "Kept");
    ASSERT_TRUE(WriteLibraryRoot(store, "/fresh"));
    EXPECT_EQ(UserValue("Software\\Wisp", "eBookPath"), "/fresh");
    EXPECT_EQ(ReadBookName(store), "Kept");
    ASSERT_TRUE(store.SetAside());
    EXPECT_EQ(temp.Read(store.SetAside()->substr(temp.Path().size() + 1)), text);
    // Named for the reader to find: the file's name, then the local time it was kept.
    EXPECT_TRUE(std::regex_match(*store.SetAside(),
                                 std::regex(".*/settings\\.reg\\.unreadable-20[0-9]{6}T[0-9]{6}")))
        << *store.SetAside();
    EXPECT_FALSE(store.ReadProblem());

    temp.MakeFolder("folder-as-file/settings.reg");
    FileSettingsStore odd(temp.Path("folder-as-file/settings.reg"), "");
    EXPECT_FALSE(
        odd.ReadString(SettingsHive::CurrentUser, "Software\\Wisp", "eBookPath", KeyAccess::Read));
    EXPECT_FALSE(WriteLibraryRoot(odd, "/x"));
    EXPECT_FALSE(WriteBookName(odd, "no machine file"));
}

TEST(FileSettingsStoreEnvironment, FoldersComeFromTheEnvironment) {
    TempFolder temp;
    ::setenv("WISP_USER_SETTINGS_DIR", temp.Path("u").c_str(), 1);
    ::setenv("WISP_MACHINE_SETTINGS_DIR", temp.Path("m").c_str(), 1);
    FileSettingsStore store = FileSettingsStore::FromEnvironment();
    EXPECT_EQ(store.UserFile(), temp.Path("u/settings.reg"));
    EXPECT_EQ(store.DefaultsFile(), temp.Path("m/settings.reg"));
    ASSERT_TRUE(WriteBookName(store, "Book"));
    EXPECT_TRUE(temp.Exists("u/settings.reg"));
    EXPECT_FALSE(temp.Exists("m"));

    ::unsetenv("WISP_USER_SETTINGS_DIR");
    ::unsetenv("WISP_MACHINE_SETTINGS_DIR");
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", temp.Path("home").c_str(), 1);
    const std::pair<const char*, std::string> configHomes[] = {
        {"", temp.Path("home/.config/wisp/settings.reg")},
        {"relative/ignored", temp.Path("home/.config/wisp/settings.reg")},
        {"/xdg", "/xdg/wisp/settings.reg"},
    };
    for (const auto& [configHome, file] : configHomes) {
        ::setenv("XDG_CONFIG_HOME", configHome, 1);
        EXPECT_EQ(FileSettingsStore::FromEnvironment().UserFile(), file) << configHome;
    }
    EXPECT_EQ(FileSettingsStore::FromEnvironment().DefaultsFile(), "/etc/wisp/settings.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    // Started without HOME, the process still finds its user's home.
    ::unsetenv("HOME");
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir[0] == '/') {
        EXPECT_EQ(FileSettingsStore::FromEnvironment().UserFile(),
                  std::string(user->pw_dir) + "/.config/wisp/settings.reg");
    }
    ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace wisp
