#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/Commands.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// What an installation of the wisp command holds: the program, its manual page, its bash
// completion and the user guide, installed by CMake and packaged for Debian by CPack.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

const char* const kInstalled[] = {
    "bin/wisp",
    "share/man/man1/wisp.1",
    "share/bash-completion/completions/wisp",
    "share/doc/wisp/index.htm",
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(WispInstall, InstallsAndPackagesTheFourKindsOfFile) {
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
    std::string deb;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path("package"))) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    ASSERT_FALSE(deb.empty());
    ProgramResult contents = test::RunProgram("/usr/bin/dpkg-deb", {"--contents", deb});
    ASSERT_EQ(contents.exitStatus, 0) << contents.err;
    for (const char* file : kInstalled) {
        EXPECT_NE(contents.out.find("./usr/" + std::string(file) + "\n"), std::string::npos)
            << file;
    }
    std::string depends = test::RunProgram("/usr/bin/dpkg-deb", {"-f", deb, "Depends"}).out;
    for (const char* package : {"libcurl", "libgumbo", "fp-utils"}) {
        EXPECT_NE(depends.find(package), std::string::npos) << depends;
    }
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
            EXPECT_NE(page.find("\\-\\-" + std::string(option.name)), std::string::npos)
                << option.name;
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
