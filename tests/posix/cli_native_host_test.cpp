#include <gtest/gtest.h>
#include <httplib.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "posix/support/LoopbackSite.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// `wisp native-host` as a browser runs it: framed requests on its standard input, framed
// replies on its standard output.
namespace wisp {
namespace {

using Json = nlohmann::json;
using test::TempFolder;

std::string Frame(const std::string& body) {
    std::uint32_t length = static_cast<std::uint32_t>(body.size());
    std::string frame(4, '\0');
    std::memcpy(frame.data(), &length, 4);
    return frame + body;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t wrote = ::write(fd, data.data(), data.size());
        if (wrote <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

bool ReadAll(int fd, char* data, std::size_t size) {
    while (size > 0) {
        ssize_t got = ::read(fd, data, size);
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

class NativeHost : public ::testing::Test {
protected:
    void SetUp() override {
        library = temp.MakeFolder("Library");
        environment = {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
                       {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")},
                       {"HOME", temp.Path("home")}};
        ASSERT_EQ(test::RunProgram(WISP_BINARY, {"root", library}, environment).exitStatus, 0);
        Start();
    }

    void TearDown() override {
        if (pid > 0) {
            Stop();
        }
    }

    void Start() {
        test::StartedProgram host = test::StartProgram(
            WISP_BINARY, {"native-host", "chrome-extension://test/"}, environment);
        ASSERT_GT(host.pid, 0);
        pid = host.pid;
        in = host.in;
        out = host.out;
    }

    // Ends the host by closing its input; its exit status.
    int Stop() {
        ::close(in);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(out);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Json Reply() {
        std::uint32_t length = 0;
        if (!ReadAll(out, reinterpret_cast<char*>(&length), 4)) {
            return Json();
        }
        lastReplySize = length;
        std::string body(length, '\0');
        if (!ReadAll(out, body.data(), length)) {
            return Json();
        }
        return Json::parse(body);
    }

    Json Ask(const Json& request) {
        EXPECT_TRUE(WriteAll(in, Frame(request.dump())));
        return Reply();
    }

    static std::set<std::string> Names(const std::filesystem::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            names.insert(entry.path().lexically_relative(folder).string());
        }
        return names;
    }

    TempFolder temp;
    std::string library;
    test::Environment environment;
    pid_t pid = -1;
    int in = -1;
    int out = -1;
    std::size_t lastReplySize = 0;
};

TEST_F(NativeHost, AnswersTheLibraryRequestsWithTheCommandsRules) {
    EXPECT_EQ(Ask({{"request", "newBook"}, {"name", "Travel"}, {"id", 7}}),
              (Json{{"ok", true}, {"id", 7}}));
    // A message split across reads is put together before it is answered.
    std::string frame = Frame(Json{{"request", "mkdir"}, {"path", "Europe"}}.dump());
    for (std::size_t at = 0; at < frame.size(); at += 5) {
        ASSERT_TRUE(WriteAll(in, frame.substr(at, 5)));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(Reply()["ok"], true);

    Json refused = Ask({{"request", "rename"}, {"path", "Europe"}, {"name", "a:b"}});
    EXPECT_EQ(refused["ok"], false);
    EXPECT_EQ(refused["error"],
              "a name cannot hold any of \\ / : * ? \" < > |, be . or .., or end in .files or _files");
    EXPECT_EQ(Ask({{"request", "save"}, {"title", "a/b"}, {"html", "<HTML></HTML>"}})["error"],
              "a title cannot hold any of \\ / : * ? < > \" |");

    Json saved = Ask({{"request", "save"},
                      {"folder", "Europe"},
                      {"title", "Rome & Ostia"},
                      {"doctype", "<!DOCTYPE html>"},
                      {"html", "<html><body>Roma<script>tour()</script></body></html>"},
                      {"keywords", "city"},
                      {"description", "ruins"}});
    ASSERT_EQ(saved["ok"], true) << saved.dump();
    EXPECT_EQ(saved["page"], "Europe/Rome & Ostia.htm");
    std::string page = temp.Read("Library/Travel/Europe/Rome & Ostia.htm");
    EXPECT_NE(page.find("<!DOCTYPE html>"), std::string::npos) << page;
    EXPECT_NE(page.find("Roma"), std::string::npos);
    EXPECT_EQ(page.find("tour()"), std::string::npos) << "the page as its scripts left it";
    EXPECT_NE(page.find("content=\"city\""), std::string::npos) << page;
    EXPECT_NE(page.find("content=\"ruins\""), std::string::npos) << page;
    // The name is taken now: the panel hears so, and may keep both.
    Json again{{"request", "save"}, {"folder", "Europe"}, {"title", "Rome & Ostia"},
               {"html", "<html><body>Ostia<script>dig()</script></body></html>"}};
    Json taken = Ask(again);
    EXPECT_EQ(taken["ok"], false);
    EXPECT_EQ(taken["taken"], true);
    again["taken"] = "keepBoth";
    again["keepScripts"] = true;
    EXPECT_EQ(Ask(again)["page"], "Europe/Rome & Ostia (2).htm");
    EXPECT_NE(temp.Read("Library/Travel/Europe/Rome & Ostia (2).htm").find("dig()"),
              std::string::npos);

    Json selection = Ask({{"request", "save"},
                          {"title", "Part"},
                          {"selection", "<B>only this</B>"},
                          {"styleSheets", {{{"css", "b{color:red}"}}}}});
    ASSERT_EQ(selection["ok"], true) << selection.dump();
    std::string part = temp.Read("Library/Travel/Part.htm");
    EXPECT_NE(part.find("b{color:red}"), std::string::npos) << part;
    EXPECT_NE(part.find("<B>only this</B>"), std::string::npos);

    Json listed = Ask({{"request", "list"}, {"path", "Europe"}});
    EXPECT_EQ(listed["items"], (Json{{{"name", "Rome & Ostia (2).htm"}, {"kind", "page"}},
                                     {{"name", "Rome & Ostia.htm"}, {"kind", "page"}}}));
    EXPECT_EQ(Ask({{"request", "delete"}, {"path", "Europe/Rome & Ostia (2).htm"}})["ok"], true);
    EXPECT_FALSE(temp.Exists("Library/Travel/Europe/Rome & Ostia (2).htm"));
    Json located = Ask({{"request", "locate"}, {"path", "Europe/Rome & Ostia.htm"}});
    EXPECT_EQ(located["url"], "file://" + library + "/Travel/Europe/Rome%20%26%20Ostia.htm");
    EXPECT_EQ(Ask({{"request", "books"}})["current"], "Travel");
    EXPECT_EQ(Ask({{"request", "root"}})["root"], library);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(NativeHost, RefusedMessagesAreAnsweredAndChangeNothing) {
    ASSERT_EQ(Ask({{"request", "newBook"}, {"name", "Travel"}})["ok"], true);
    std::set<std::string> before = Names(library);

    ASSERT_TRUE(WriteAll(in, Frame("{\"request\": \"mkdir\", \"path\": \"X\"")));
    Json broken = Reply();
    EXPECT_EQ(broken["ok"], false);
    EXPECT_EQ(broken["error"], "the message is not JSON");
    for (const Json& request :
         {Json{{"request", "format"}, {"path", "X"}}, Json{{"request", "mkdir"}, {"path", 3}},
          Json::array({"mkdir", "X"}), Json{{"request", "mkdir"}, {"path", "../X"}}}) {
        Json reply = Ask(request);
        EXPECT_EQ(reply["ok"], false) << request.dump();
        EXPECT_TRUE(reply["error"].is_string()) << request.dump();
    }
    // An id nested as deep as a message can hold is refused, not copied into the reply.
    std::string deep = std::string(100000, '[') + std::string(100000, ']');
    ASSERT_TRUE(WriteAll(in, Frame(R"({"request": "books", "id": )" + deep + "}")));
    Json deepReply = Reply();
    EXPECT_EQ(deepReply["ok"], false);
    EXPECT_TRUE(deepReply["id"].is_null());
    // A book file goes into the home folder under a plain name; one there is kept unless the
    // reader says to replace it.
    EXPECT_EQ(Ask({{"request", "build"}, {"output", "../x.chm"}})["ok"], false);
    temp.MakeFile("home/Travel.epub", "a book of the reader's");
    Json exists = Ask({{"request", "build"}, {"format", "epub"}});
    EXPECT_EQ(exists["taken"], true) << exists.dump();
    EXPECT_EQ(temp.Read("home/Travel.epub"), "a book of the reader's");
    EXPECT_EQ(Names(library), before);
    EXPECT_EQ(Names(temp.Path()).count("X"), 0u);
    EXPECT_FALSE(temp.Exists("x.chm"));
    // Still answering after the refusals.
    EXPECT_EQ(Ask({{"request", "books"}})["books"], Json::array({"Travel"}));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(NativeHost, ServesTheLibraryReadOnlyOnLoopbackWhileConnected) {
    temp.MakeFile("Library/Travel/Rome & Ostia.htm", "<p>Roma</p>");
    temp.MakeFile("secret.txt", "not the library's");
    Json located = Ask({{"request", "locate"},
                        {"book", "Travel"},
                        {"path", "Rome & Ostia.htm"},
                        {"served", true}});
    std::string url = located["url"];
    const std::string start = "http://127.0.0.1:";
    ASSERT_EQ(url.compare(0, start.size(), start), 0) << url;
    std::size_t slash = url.find('/', start.size());
    std::string origin = url.substr(0, slash);
    std::string path = url.substr(slash);
    EXPECT_EQ(path.substr(path.size() - 30), "/Travel/Rome%20%26%20Ostia.htm");

    httplib::Client client(origin);
    auto page = client.Get(path);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->body, "<p>Roma</p>");
    std::string token = path.substr(0, path.find('/', 1));
    // A browser shows no SVG picture served under a generic type.
    temp.MakeFile("Library/Travel/Rome & Ostia.files/map.svg", "<svg/>");
    auto picture = client.Get(token + "/Travel/Rome%20%26%20Ostia.files/map.svg");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->get_header_value("Content-Type"), "image/svg+xml");
    for (const std::string& refused :
         {std::string("/Travel/Rome%20%26%20Ostia.htm"), token + "/%2E%2E/secret.txt",
          token + "/Travel", "/x" + token.substr(2) + "/Travel/Rome%20%26%20Ostia.htm"}) {
        auto answer = client.Get(refused);
        ASSERT_TRUE(answer) << refused;
        EXPECT_EQ(answer->status, 404) << refused;
    }
    // Idle connections (a browser keeps some open) hold no page back: it is answered while
    // they are all still open, with nothing to read from any of them.
    std::vector<pollfd> idle(12, pollfd{-1, POLLIN, 0});
    const auto port = static_cast<std::uint16_t>(std::stoi(origin.substr(start.size())));
    sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    const auto opened = std::chrono::steady_clock::now();
    for (pollfd& connection : idle) {
        connection.fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_EQ(::connect(connection.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    auto again = httplib::Client(origin).Get(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->body, "<p>Roma</p>");
    // Idle connections are closed after 2 s: on a machine too busy to answer within that, the
    // order of the two cannot be told.
    if (std::chrono::steady_clock::now() - opened < std::chrono::milliseconds(1500)) {
        EXPECT_EQ(::poll(idle.data(), idle.size(), 0), 0);
    }
    for (pollfd& connection : idle) {
        ::close(connection.fd);
    }
    EXPECT_EQ(Stop(), 0);
    EXPECT_FALSE(client.Get(path));
}

TEST_F(NativeHost, LongFolderListingsComeInPagesUnderOneMebibyte) {
    std::string folder = temp.MakeFolder("Library/Big");
    const std::size_t count = 6000;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = std::to_string(i) + std::string(170, 'p') + ".htm";
        ::close(::open((folder + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644));
    }
    std::set<std::string> seen;
    Json request{{"request", "list"}, {"book", "Big"}};
    int pages = 0;
    for (;;) {
        Json reply = Ask(request);
        ASSERT_EQ(reply["ok"], true) << reply.dump().substr(0, 200);
        EXPECT_LT(lastReplySize, 1024u * 1024u);
        ++pages;
        for (const Json& item : reply["items"]) {
            seen.insert(item["name"].get<std::string>());
        }
        if (!reply.contains("next")) {
            break;
        }
        request["offset"] = reply["next"];
    }
    EXPECT_GT(pages, 1);
    EXPECT_EQ(seen.size(), count);
}

TEST_F(NativeHost, SavesAPageOfSixtyMebibytes) {
    ASSERT_EQ(Ask({{"request", "newBook"}, {"name", "Big"}})["ok"], true);
    std::string html = "<html><body>" + std::string(60u * 1024 * 1024, 'x') + "</body></html>";
    Json reply = Ask({{"request", "save"}, {"title", "Huge"}, {"html", html}});
    ASSERT_EQ(reply["ok"], true) << reply.dump();
    EXPECT_GE(std::filesystem::file_size(temp.Path("Library/Big/Huge.htm")), html.size());
    // A message the browser could not have sent is dropped, and the next one is answered.
    std::uint32_t tooLong = 65u * 1024 * 1024;
    std::string header(4, '\0');
    std::memcpy(header.data(), &tooLong, 4);
    std::thread writer([&] {
        WriteAll(in, header);
        std::string piece(1024 * 1024, ' ');
        for (int i = 0; i < 65; ++i) {
            WriteAll(in, piece);
        }
        WriteAll(in, Frame(Json{{"request", "books"}}.dump()));
    });
    EXPECT_EQ(Reply()["ok"], false);
    EXPECT_EQ(Reply()["ok"], true);
    writer.join();
    EXPECT_EQ(Stop(), 0);
}

TEST_F(NativeHost, SavesASiteTellingEachPageBeforeTheCounts) {
    test::LoopbackSite site;
    ASSERT_TRUE(site.Started());
    site.Add("/manual/index.html",
             "<title>Manual</title><a href=one.html>1</a> "
             "<a href=two.html#part>2</a> <a href=gone.html>3</a>");
    site.Add("/manual/one.html", "<title>One</title><a href=index.html>back</a>");
    site.Add("/manual/two.html", "<title>Two</title><p id=part>two");
    site.Add("/manual/gone.html", "missing", "text/html", 404);
    ASSERT_EQ(Ask({{"request", "newBook"}, {"name", "Manuals"}})["ok"], true);

    Json request{{"request", "saveSite"}, {"url", site.Url("/manual/index.html")}, {"id", 3}};
    // The reply to a site's request, after the notices of the pages as they end.
    std::vector<Json> progress;
    auto saveSite = [&] {
        progress.clear();
        EXPECT_TRUE(WriteAll(in, Frame(request.dump())));
        Json reply;
        while ((reply = Reply()).contains("progress")) {
            EXPECT_EQ(reply["id"], request["id"]);
            progress.push_back(reply["progress"]);
        }
        return reply;
    };
    Json reply = saveSite();
    ASSERT_EQ(reply["ok"], true) << reply.dump();
    EXPECT_EQ(reply["id"], 3);
    EXPECT_EQ(reply["saved"], 3);
    EXPECT_EQ(reply["failed"], 1);
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress.back()["saved"], 3);
    EXPECT_EQ(progress.back()["failed"], 1);
    std::string index = temp.Read("Library/Manuals/" + reply["page"].get<std::string>());
    EXPECT_NE(index.find("href=\"two.htm#part\""), std::string::npos) << index;

    // Saved again into the same place: the panel hears the names are taken, and may go on.
    request["id"] = 4;
    EXPECT_EQ(saveSite()["taken"], true);
    request["resume"] = true;
    EXPECT_EQ(saveSite()["kept"], 3);
    request["url"] = "manual/index.html";
    EXPECT_EQ(saveSite()["ok"], false);
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace wisp
