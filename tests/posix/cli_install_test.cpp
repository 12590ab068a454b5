#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/Commands.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// What an installation of the wisp command holds: the program, its manual page, its bash
// completion, the user guide and the browser extension, installed by CMake and packaged for
// Debian by CPack; and the host manifests browser-install writes for the browsers it finds.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

const char* const kInstalled[] = {
    "bin/wisp",
    WISP_MODULE_FOLDER "/wisp-commands.so",
    "share/man/man1/wisp.1.gz",
    "share/bash-completion/completions/wisp",
    "share/doc/wisp/index.htm",
    "share/doc/wisp/copyright",
    "share/doc/wisp/changelog.gz",
    "share/wisp/extension/manifest.json",
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string FileEndingIn(const std::string& folder, const std::string& ending) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            return entry.path().string();
        }
    }
    return {};
}

std::string Field(const std::string& deb, const char* name) {
    return test::RunProgram("/usr/bin/dpkg-deb", {"-f", deb, name}).out;
}

TEST(WispInstall, InstallsAndPackagesTheCommandStrippedWithItsDocumentsAndExtension) {
    TempFolder temp;
    ProgramResult installed = test::RunProgram(
        WISP_CMAKE, {"--install", WISP_BUILD_DIR, "--prefix", temp.Path("prefix")});
    ASSERT_EQ(installed.exitStatus, 0) << installed.err;
    for (const char* file : kInstalled) {
        EXPECT_TRUE(temp.Exists("prefix/" + std::string(file))) << file;
    }

    ProgramResult packed = test::RunProgram(
        WISP_CPACK, {"--config", std::string(WISP_BUILD_DIR) + "/CPackConfig.cmake", "-G", "DEB",
                     "-B", temp.Path("package")});
    ASSERT_EQ(packed.exitStatus, 0) << packed.out << packed.err;
    std::string deb = FileEndingIn(temp.Path("package"), ".deb");
    ASSERT_FALSE(deb.empty());
    ProgramResult contents = test::RunProgram("/usr/bin/dpkg-deb", {"--contents", deb});
    ASSERT_EQ(contents.exitStatus, 0) << contents.err;
    for (const char* file : kInstalled) {
        EXPECT_NE(contents.out.find("./usr/" + std::string(file) + "\n"), std::string::npos)
            << file;
    }
    std::string depends = Field(deb, "Depends");
    for (const char* package : {"libcurl", "libgumbo", "libqpdf", "fp-utils"}) {
        EXPECT_NE(depends.find(package), std::string::npos) << depends;
    }
    EXPECT_NE(Field(deb, "Recommends").find("chromium-headless-shell | chromium, bash-completion"),
              std::string::npos);
    std::string maintainer = Field(deb, "Maintainer");
    EXPECT_NE(maintainer.find(" <"), std::string::npos) << maintainer;
    EXPECT_NE(maintainer.find("@"), std::string::npos) << maintainer;
    EXPECT_EQ(maintainer.find("localhost"), std::string::npos) << maintainer;
    // A summary line, then paragraphs, as the description file words them.
    std::string description = Field(deb, "Description");
    EXPECT_GT(std::count(description.begin(), description.end(), '\n'), 5) << description;
    EXPECT_NE(description.find(" the page's\n"), std::string::npos) << description;

    // The packaged command is stripped, and runs from the package's unpacked files.
    ASSERT_EQ(test::RunProgram("/usr/bin/dpkg-deb", {"-x", deb, temp.Path("root")}).exitStatus, 0);
    for (std::string file : {"bin/wisp", WISP_MODULE_FOLDER "/wisp-commands.so"}) {
        std::string path = temp.Path("root/usr/" + file);
        std::string sections = test::RunProgram("/usr/bin/readelf", {"--section-headers", path}).out;
        EXPECT_NE(sections.find(".text"), std::string::npos) << file;
        for (const char* section : {".debug_info", ".symtab", ".comment"}) {
            EXPECT_EQ(sections.find(section), std::string::npos) << file << ": " << section;
        }
    }
    ProgramResult version = test::RunProgram(temp.Path("root/usr/bin/wisp"), {"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_NE(version.out.find(WISP_VERSION), std::string::npos) << version.out;
}

// browser-install finds a browser by its profile folder or its program on the PATH, writes the
// host manifest where that browser (installed, Flatpak or Snap) reads it, and --uninstall
// takes every one away again; with no browser found it writes only for a browser named.
TEST(WispBrowserInstall, WritesForEveryBrowserFoundAndUninstallsThemAll) {
    TempFolder temp;
    temp.MakeFolder("home/.config/BraveSoftware/Brave-Browser");
    temp.MakeFolder("home/.var/app/com.google.Chrome");
    temp.MakeFolder("home/snap/chromium");
    temp.MakeFolder("home/.mozilla");
    temp.MakeFile("bin/vivaldi", "#!/bin/sh\n");
    std::filesystem::permissions(temp.Path("bin/vivaldi"), std::filesystem::perms::owner_all);
    test::Environment environment = {
        {"HOME", temp.Path("home")},
        {"XDG_CONFIG_HOME", temp.Path("home/.config")},
        {"XDG_DATA_HOME", temp.Path("home/.local/share")},
        {"PATH", temp.Path("bin")},
        {"WISP_USER_SETTINGS_DIR", temp.Path("settings")},
        {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine")},
    };
    const std::string manifest = "/wisp.native_host.json";
    const std::pair<const char*, std::string> written[] = {
        {"Google Chrome (Flatpak)",
         "home/.var/app/com.google.Chrome/config/google-chrome/NativeMessagingHosts"},
        {"Chromium (Snap)", "home/snap/chromium/common/chromium/NativeMessagingHosts"},
        {"Brave", "home/.config/BraveSoftware/Brave-Browser/NativeMessagingHosts"},
        {"Vivaldi", "home/.config/vivaldi/NativeMessagingHosts"},
        {"Firefox", "home/.mozilla/native-messaging-hosts"},
    };

    ProgramResult installed = test::RunProgram(WISP_BINARY, {"browser-install"}, environment);
    ASSERT_EQ(installed.exitStatus, 0) << installed.err;
    for (const auto& [browser, folder] : written) {
        EXPECT_NE(installed.out.find("Installed for " + std::string(browser) + ": " +
                                     temp.Path(folder) + manifest + "\n"),
                  std::string::npos)
            << installed.out;
    }
    EXPECT_FALSE(temp.Exists("home/.config/chromium"));
    EXPECT_FALSE(temp.Exists("home/.config/google-chrome"));
    // The Flatpak's wrapper is inside its sandbox and leaves it through flatpak-spawn.
    std::string flatpakWrapper = "home/.var/app/com.google.Chrome/data/wisp/wisp-native-host";
    EXPECT_NE(temp.Read(written[0].second + manifest).find(temp.Path(flatpakWrapper)),
              std::string::npos);
    EXPECT_NE(temp.Read(flatpakWrapper).find("exec flatpak-spawn --host '"), std::string::npos);
    EXPECT_NE(installed.err.find("flatpak override --user --talk-name=org.freedesktop.Flatpak "
                                 "com.google.Chrome"),
              std::string::npos)
        << installed.err;

    ProgramResult removed =
        test::RunProgram(WISP_BINARY, {"browser-install", "--uninstall"}, environment);
    ASSERT_EQ(removed.exitStatus, 0) << removed.err;
    for (const auto& [browser, folder] : written) {
        EXPECT_FALSE(temp.Exists(folder + manifest)) << browser;
    }
    EXPECT_FALSE(temp.Exists(flatpakWrapper));
    EXPECT_FALSE(temp.Exists("home/.local/share/wisp/wisp-native-host"));

    std::filesystem::remove_all(temp.Path("home"));
    std::filesystem::remove(temp.Path("bin/vivaldi"));
    temp.MakeFolder("home");
    ProgramResult none = test::RunProgram(WISP_BINARY, {"browser-install"}, environment);
    EXPECT_EQ(none.exitStatus, 1);
    EXPECT_NE(none.err.find("no browser found"), std::string::npos) << none.err;
    // A browser named outright is written for where it would look, found or not.
    EXPECT_EQ(test::RunProgram(WISP_BINARY, {"browser-install", "--firefox"}, environment).exitStatus,
              0);
    EXPECT_TRUE(temp.Exists("home/.mozilla/native-messaging-hosts" + manifest));
}

TEST(WispManPage, NamesEveryCommandAndOption) {
    std::string page = ReadText(WISP_MAN_PAGE);
    ASSERT_FALSE(page.empty());
    for (const cli::Command& command : cli::AllCommands()) {
        std::string name(command.syntax.name);
        EXPECT_TRUE(page.find("\n.B " + name + "\n") != std::string::npos ||
                    page.find("\n.BI " + name + " ") != std::string::npos ||
                    page.find("\n.BR " + name + " ") != std::string::npos)
            << name;
        for (const cli::OptionSyntax& option : command.syntax.options) {
            // A value is named as the help names it, in bold-italic or in italics.
            std::vector<std::string> names = {"\\-\\-" + std::string(option.name)};
            if (option.shortName) {
                names.push_back("\\-" + std::string(1, option.shortName));
            }
            bool found = false;
            for (const std::string& written : names) {
                const std::string value(option.value);
                found =
                    found || (option.takesValue
                                  ? page.find(written + " \" " + value) != std::string::npos ||
                                        page.find(written + " \" \\fI" + value) != std::string::npos
                                  : page.find(written) != std::string::npos);
            }
            EXPECT_TRUE(found) << option.name << " " << option.value;
        }
    }
    for (const cli::OptionSyntax& option : cli::CommonOptions()) {
        EXPECT_NE(page.find("\\-\\-" + std::string(option.name)), std::string::npos) << option.name;
    }
    for (const char* section : {".SH EXIT STATUS", ".SH FILES", ".SH ENVIRONMENT"}) {
        EXPECT_NE(page.find(section), std::string::npos) << section;
    }
}

// Completes each line's words (the last one being typed) and prints the offers in brackets.
constexpr const char* kCompletionScript = R"sh(
source "$1"
wisp=$2
while IFS= read -r line; do
    eval "COMP_WORDS=(\"\$wisp\" $line)"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _wisp
    printf '[%s]' "${COMPREPLY[@]}"
    echo
done
)sh";

TEST(WispCompletion, OffersCommandsOptionsBooksAndPathsInsideABook) {
    TempFolder temp;
    temp.MakeFolder("Library/My Travel/Europe/Spain");
    temp.MakeFolder("Library/My Travel/Europe/Madrid.files");
    temp.MakeFile("Library/My Travel/Europe/Madrid.htm");
    temp.MakeFile("Library/My Travel/notes.txt");
    temp.MakeFolder("Library/Other");
    std::vector<std::pair<std::string, std::string>> environment = {
        {"WISP_USER_SETTINGS_DIR", temp.Path("settings")},
        {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine")},
    };
    ASSERT_EQ(test::RunProgram(WISP_BINARY, {"root", temp.Path("Library")}, environment).exitStatus,
              0);
    ASSERT_EQ(test::RunProgram(WISP_BINARY, {"use", "My Travel"}, environment).exitStatus, 0);

    const std::pair<std::string, std::string> cases[] = {
        {"bu", "[build]"},
        {"collect http://h/ --ti", "[--title]"},
        {"use ''", "[My\\ Travel][Other]"},
        {"--book O", "[Other]"},
        {"rm ''", "[Europe/]"},
        {"rm Europe/", "[Europe/Madrid.htm][Europe/Spain/]"},
        {"mkdir Europe/", "[Europe/Spain/]"},
        {"build My\\\\\\ Travel/", "[My\\ Travel/Europe/]"},
    };
    std::string input;
    std::string expected;
    for (const auto& [words, offers] : cases) {
        input += words + "\n";
        expected += offers + "\n";
    }
    ProgramResult completed = test::RunProgram(
        "/bin/bash", {"-c", kCompletionScript, "bash", WISP_COMPLETION, WISP_BINARY}, environment,
        input);
    EXPECT_EQ(completed.exitStatus, 0) << completed.err;
    EXPECT_EQ(completed.out, expected);

    // Exactly the commands and each command's options that the command line takes, and a
    // value option's value is not taken for the command's argument.
    std::set<std::string> commands;
    input = "''\nbuild --format chm ''\n";
    for (const cli::Command& command : cli::AllCommands()) {
        commands.insert("[" + std::string(command.syntax.name) + "]");
        input += std::string(command.syntax.name) + " -\n";
    }
    completed = test::RunProgram(
        "/bin/bash", {"-c", kCompletionScript, "bash", WISP_COMPLETION, WISP_BINARY}, environment,
        input);
    std::istringstream lines(completed.out);
    std::string line;
    auto offers = [](const std::string& text) {
        std::set<std::string> each;
        for (std::size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
            each.insert(text.substr(at, text.find(']', at) - at + 1));
        }
        return each;
    };
    std::getline(lines, line);
    EXPECT_EQ(offers(line), commands);
    std::getline(lines, line);
    EXPECT_EQ(line, "[My\\ Travel/][Other/]");
    for (const cli::Command& command : cli::AllCommands()) {
        std::set<std::string> options;
        for (const std::vector<cli::OptionSyntax>* list :
             {&command.syntax.options, &cli::CommonOptions()}) {
            for (const cli::OptionSyntax& option : *list) {
                options.insert("[--" + std::string(option.name) + "]");
                if (option.shortName) {
                    options.insert(std::string("[-") + option.shortName + "]");
                }
            }
        }
        std::getline(lines, line);
        EXPECT_EQ(offers(line), options) << command.syntax.name;
    }
}

}  // namespace
}  // namespace wisp
