#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/library/LibraryStore.h"
#include "posix/platform/FileLock.h"
#include "posix/platform/FileSettingsStore.h"
#include "posix/support/LoopbackSite.h"
#include "posix/support/RunProgram.h"
#include "posix/support/ZipReader.h"
#include "support/TempFolder.h"

// Several wisp processes on one library at once: the settings keep every writer's value and
// every saved page is whole, with no temporary file left behind.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

constexpr int kProcesses = 8;
constexpr int kRounds = 8;

// A request as a browser frames it for its native host: its length first, in native order.
std::string Frame(const std::string& body) {
    const std::uint32_t length = static_cast<std::uint32_t>(body.size());
    return std::string(reinterpret_cast<const char*>(&length), sizeof length) + body;
}

// Every file and folder below `folder`, relative to it, sorted, with each file's size.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string line = std::filesystem::relative(entry.path(), folder).string();
        if (entry.is_regular_file()) {
            line += " " + std::to_string(entry.file_size());
        }
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(WispConcurrency, WritersAtOnceLoseNoValueAndLeaveNoPartialFile) {
    TempFolder temp;
    test::LoopbackSite site{WISP_EXAMPLE_SITE};
    ASSERT_TRUE(site.Started());
    const std::string url = site.Url("/index.html");
    const std::vector<std::pair<std::string, std::string>> environment = {
        {"WISP_USER_SETTINGS_DIR", temp.Path("settings")},
        {"WISP_MACHINE_SETTINGS_DIR", temp.Path("no-defaults")},
    };
    for (const char* root : {"Start", "Chosen", "Single"}) {
        temp.MakeFolder(std::string(root) + "/A");
        temp.MakeFolder(std::string(root) + "/B");
    }
    const std::string chosen = temp.Path("Chosen");
    // What one run alone saves.
    ProgramResult single = test::RunProgram(
        WISP_BINARY, {"collect", url, "--static", "--book", "B", "--root", temp.Path("Single")},
        environment);
    ASSERT_EQ(single.exitStatus, 0) << single.err;
    const std::vector<std::string> whole = Listing(temp.Path("Single/B"));

    // In each round every process runs one command at the same moment, the commands taking
    // turns: the library root has one writer's value (Chosen), the current book another's (B),
    // so whatever the order, both must be there at the end.
    // The browser's host sets the same two values through its own requests.
    const std::string hostRequests =
        Frame(R"({"id":1,"request":"root","path":")" + chosen + R"("})") +
        Frame(R"({"id":2,"request":"use","book":"B"})");
    const std::vector<std::vector<std::string>> commands = {
        {"root", chosen},  {"use", "B"},
        {"new-book", "B"}, {"collect", url, "--static", "--book", "B", "--root", chosen, "--replace"},
        {"native-host"},
    };
    FileSettingsStore store(temp.Path("settings/settings.reg"), "");
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(WriteLibraryRoot(store, temp.Path("Start")));
        ASSERT_TRUE(WriteBookName(store, "A"));
        std::vector<ProgramResult> results(kProcesses);
        std::vector<std::thread> processes;
        for (int i = 0; i < kProcesses; ++i) {
            processes.emplace_back([&, i] {
                const std::vector<std::string>& command = commands[(i + round) % commands.size()];
                results[i] = test::RunProgram(WISP_BINARY, command, environment,
                                              command[0] == "native-host" ? hostRequests : "");
            });
        }
        for (std::thread& process : processes) {
            process.join();
        }
        for (int i = 0; i < kProcesses; ++i) {
            EXPECT_EQ(results[i].exitStatus, 0) << round << "/" << i << ": " << results[i].err;
            EXPECT_EQ(results[i].out.find(R"("ok":false)"), std::string::npos) << results[i].out;
        }
        EXPECT_EQ(ReadLibraryRoot(store), chosen) << "round " << round;
        EXPECT_EQ(ReadBookName(store), "B") << "round " << round;
        EXPECT_EQ(Listing(chosen + "/B"), whole) << "round " << round;
    }
    EXPECT_EQ(Listing(temp.Path("settings")),
              (std::vector<std::string>{"settings.reg " + std::to_string(std::filesystem::file_size(
                                                              temp.Path("settings/settings.reg"))),
                                        "settings.reg.lock 0"}));
}

TEST(WispConcurrency, BuildsAndListingsLeaveEachOtherWhole) {
    TempFolder temp;
    test::LoopbackSite site{WISP_EXAMPLE_SITE};
    ASSERT_TRUE(site.Started());
    const std::vector<std::pair<std::string, std::string>> environment = {
        {"WISP_USER_SETTINGS_DIR", temp.Path("settings")},
        {"WISP_MACHINE_SETTINGS_DIR", temp.Path("settings")},
    };
    temp.MakeFolder("Root/B");
    const std::string book = temp.Path("Root/B");
    auto wisp = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--root", temp.Path("Root")});
        return test::RunProgram(WISP_BINARY, arguments, environment);
    };
    ASSERT_EQ(wisp({"collect", site.Url("/index.html"), "--book", "B"}).exitStatus, 0);

    // A listing clears a build's project files, except while a build holds the folder.
    std::ofstream(book + "/Project.hhp") << "[OPTIONS]";
    {
        ExclusiveFolderLock building(book, ExclusiveFolderLock::Wait::Yes);
        ASSERT_TRUE(building.Held());
        EXPECT_EQ(wisp({"tree", "B"}).exitStatus, 0);
        EXPECT_TRUE(std::filesystem::exists(book + "/Project.hhp"));
    }
    EXPECT_EQ(wisp({"tree", "B"}).exitStatus, 0);
    EXPECT_FALSE(std::filesystem::exists(book + "/Project.hhp"));

    // Builds at once, beside listings, all name the book by the one identifier it keeps.
    std::vector<ProgramResult> results(kProcesses);
    std::vector<std::thread> processes;
    for (int i = 0; i < kProcesses; ++i) {
        processes.emplace_back([&, i] {
            results[i] = i % 2 ? wisp({"tree", "B"})
                               : wisp({"build", "B", "-o", temp.Path(std::to_string(i) + ".epub")});
        });
    }
    for (std::thread& process : processes) {
        process.join();
    }
    std::ifstream kept(book + "/.Book.uuid");
    std::string identifier;
    kept >> identifier;
    for (int i = 0; i < kProcesses; ++i) {
        ASSERT_EQ(results[i].exitStatus, 0) << results[i].err;
        if (i % 2 == 0) {
            EXPECT_EQ(test::Identifier(test::ReadZip(temp.Path(std::to_string(i) + ".epub"))),
                      identifier);
        }
    }
}

}  // namespace
}  // namespace wisp
