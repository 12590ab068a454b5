#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "posix/support/LoopbackSite.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

// wisp collect reading pages as the browser shows them, against pages served on loopback.
// Every run gets its own temporary folder for the browser's profile and a mark in its
// environment, so that a browser process or profile left behind is seen.

namespace wisp {
namespace {

using test::LoopbackSite;
using test::ProgramResult;
using test::TempFolder;
using Clock = std::chrono::steady_clock;

using test::Contains;

// A page whose script adds a style sheet (with a picture of its own), a picture and text.
// A picture the browser can show (one pixel), as it keeps only those.
const std::string kPixel("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04"
                         "\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                         "D\x01\x00;",
                         43);

constexpr const char* kScriptedPage =
    "<!DOCTYPE html><html><head><title>Made by script</title></head><body><p>Static words.</p>"
    "<script>"
    "var l = document.createElement('link'); l.rel = 'stylesheet'; l.href = 'made.css';"
    "document.head.appendChild(l);"
    "var i = document.createElement('img'); i.src = 'made.png'; document.body.appendChild(i);"
    "var d = document.createElement('div'); d.id = 'made';"
    "d.textContent = 'Words ' + 'of the script'; document.body.appendChild(d);"
    "var s = document.createElement('style'); document.head.appendChild(s);"
    "s.sheet.insertRule('#made { color: rgb(1, 2, 3); }');"
    // Steps after the load, with nothing loaded, as a maths renderer takes them.
    "var n = 0, t = document.createElement('p'); document.body.appendChild(t);"
    "addEventListener('load', function step() {"
    "  t.textContent = ++n; if (n < 15) setTimeout(step, 20); else t.id = 'typeset'; });"
    "</script></body></html>";

class WispRendering : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access("/usr/lib/chromium/chromium", X_OK) != 0) {
            GTEST_FAIL() << "Chromium is not installed (scripts/setup.sh installs it)";
        }
        ASSERT_TRUE(site.Started());
        temp.MakeFolder("Library/Web");
        temp.MakeFolder("tmp");
        site.Add("/s/page.html", kScriptedPage);
        site.Add("/s/made.css", "body { background: url(back.png) }", "text/css");
        for (const char* picture : {"/s/made.png", "/s/back.png"}) {
            site.Add(picture, picture, "image/png");
        }
    }
    void TearDown() override { EXPECT_TRUE(NothingLeft()); }

    test::Environment Environment() const {
        return {{"WISP_USER_SETTINGS_DIR", temp.Path("settings")},
                {"WISP_MACHINE_SETTINGS_DIR", temp.Path("settings")},
                {"TMPDIR", temp.Path("tmp")},
                {"WISP_TEST_MARK", temp.Path()}};
    }
    ProgramResult Wisp(std::vector<std::string> args, const test::Environment& extra = {}) {
        args.insert(args.end(), {"--root", temp.Path("Library"), "--book", "Web"});
        test::Environment environment = Environment();
        environment.insert(environment.end(), extra.begin(), extra.end());
        ProgramResult result = test::RunProgram(WISP_BINARY, args, environment);
        EXPECT_TRUE(NothingLeft()) << args[1];
        return result;
    }

    // How many processes carry this test's mark (the browser and its helpers inherit it).
    std::size_t MarkedProcesses() const {
        const std::string mark = "WISP_TEST_MARK=" + temp.Path();
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos ||
                name == std::to_string(::getpid())) {
                continue;
            }
            std::ifstream environ(entry.path() / "environ", std::ios::binary);
            std::ostringstream text;
            text << environ.rdbuf();
            std::string variables = '\0' + text.str();
            count += Contains(variables, '\0' + mark + '\0') ? 1 : 0;
        }
        return count;
    }
    // No browser process of this test runs (a killed one may take a moment to go) and no
    // profile is left in the temporary folder.
    bool NothingLeft() const {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
        while (MarkedProcesses() != 0 && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return MarkedProcesses() == 0 &&
               std::filesystem::is_empty(test::FromUtf8(temp.Path("tmp")));
    }

    TempFolder temp;
    LoopbackSite site;
};

TEST_F(WispRendering, SavesWhatTheScriptsMadeWhichTheStaticReaderMisses) {
    ProgramResult rendered = Wisp({"collect", site.Url("/s/page.html")});
    ASSERT_EQ(rendered.exitStatus, 0) << rendered.err;
    const std::string pagePath = temp.Path("Library/Web/Made by script.htm");
    EXPECT_EQ(rendered.out, "Saved " + pagePath + ": 3 resources fetched, 0 failed (rendered)\n");
    const std::string page = temp.Read("Library/Web/Made by script.htm");
    // The DOCTYPE stays first, before the origin record.
    EXPECT_EQ(page.rfind("<!DOCTYPE html><!-- saved from url=", 0), 0u) << page;
    const std::string files = "Made%20by%20script.files/";
    for (const std::string& part : {"<LINK rel=\"stylesheet\" href=\"" + files + "made.css\">",
                                    "<IMG src=\"" + files + "made.png\">",
                                    std::string("<DIV id=\"made\">Words of the script</DIV>"),
                                    std::string("<STYLE>#made { color: rgb(1, 2, 3); }</STYLE>"),
                                    std::string("<P id=\"typeset\">15</P>")}) {
        EXPECT_TRUE(Contains(page, part)) << part << "\n" << page;
    }
    // A snapshot: the script would add its picture and words again when the copy is opened.
    EXPECT_FALSE(Contains(page, "<SCRIPT")) << page;
    EXPECT_EQ(temp.Read("Library/Web/Made by script.files/made.css"),
              "body { background: url(back.png) }");
    ProgramResult kept = Wisp(
        {"collect", site.Url("/s/page.html"), "--keep-scripts", "--title", "With scripts"});
    ASSERT_EQ(kept.exitStatus, 0) << kept.err;
    EXPECT_TRUE(Contains(temp.Read("Library/Web/With scripts.htm"), "<SCRIPT>var l"));
    EXPECT_EQ(temp.Read("Library/Web/Made by script.files/back.png"), "/s/back.png");

    ProgramResult source =
        Wisp({"collect", site.Url("/s/page.html"), "--static", "--title", "Source"});
    ASSERT_EQ(source.exitStatus, 0) << source.err;
    EXPECT_EQ(source.out, "Saved " + temp.Path("Library/Web/Source.htm") +
                              ": 0 resources fetched, 0 failed (static)\n");
    EXPECT_FALSE(Contains(temp.Read("Library/Web/Source.htm"), "<DIV id=\"made\">"));
    EXPECT_TRUE(Contains(temp.Read("Library/Web/Source.htm"), "<SCRIPT>var l"));
}

TEST_F(WispRendering, APageCannotFakeItsOwnAddress) {
    // Its script makes the document report a file's address; its references are read against
    // the address the browser loaded all the same.
    site.Add("/fake/page.html",
             "<html><head><title>Fake</title><script>"
             "for (const name of ['URL', 'documentURI', 'baseURI'])"
             "  Object.defineProperty(document, name, {get: () => 'file:///etc/fake.html'});"
             "</script></head><body><img src=\"hostname\"></body></html>");
    site.Add("/fake/hostname", "served", "image/png");
    ProgramResult result = Wisp({"collect", site.Url("/fake/page.html")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(temp.Read("Library/Web/Fake.files/hostname"), "served");
}

TEST_F(WispRendering, ScriptsMeasureAsInTheReadersBrowser) {
    // What a script finds of the browser and of the text it measures stays in the copy (a
    // maths renderer's widths): it is what the whole browser gives the same page.
    site.Add("/measure.html",
             "<html><head><title>Measured</title></head><body>"
             "<span id=\"text\" style=\"font: 13px sans-serif\">Wisp measures this text</span>"
             "<script>document.body.insertAdjacentHTML('beforeend', '<p id=\"found\">' +"
             " [typeof window.chrome, window.chrome && typeof chrome.loadTimes,"
             "  document.getElementById('text').getBoundingClientRect().width] + '</p>');"
             "</script></body></html>");
    ProgramResult saved = Wisp({"collect", site.Url("/measure.html")});
    ASSERT_EQ(saved.exitStatus, 0) << saved.err;
    std::vector<std::string> browser = {"--headless=new", "--user-data-dir=" + temp.Path("whole"),
                                        "--window-size=1280,900", "--dump-dom",
                                        site.Url("/measure.html")};
    if (::geteuid() == 0) {
        browser.insert(browser.begin(), "--no-sandbox");
    }
    ProgramResult whole = test::RunProgram("/usr/lib/chromium/chromium", browser, Environment());
    const std::size_t found = whole.out.rfind("<p id=\"found\">");  // after the script
    ASSERT_NE(found, std::string::npos) << whole.out << whole.err;
    const std::string measured =
        whole.out.substr(found + 14, whole.out.find('<', found + 14) - found - 14);
    EXPECT_TRUE(Contains(measured, "object,function,")) << measured;
    EXPECT_TRUE(
        Contains(temp.Read("Library/Web/Measured.htm"), "<P id=\"found\">" + measured + "</P>"));
}

TEST_F(WispRendering, SelectsWithTheBrowsersSelectorsAndKeepsAnotherOriginsStyleSheet) {
    LoopbackSite other;
    ASSERT_TRUE(other.Started());
    other.Add("/far.css", ".far { color: blue }", "text/css");
    site.Add("/notes.zip", "PK\3\4", "application/zip");
    site.Add("/pick.html",
             "<html><head><title>Pick</title><link rel=\"stylesheet\" href=\"" +
                 other.Url("/far.css") +
                 "\"><style>p { color: red }</style></head><body>"
                 "<div class=\"note\"><em>Kept</em></div><div class=\"note\">Left out</div>"
                 "</body></html>");
    ProgramResult result =
        Wisp({"collect", site.Url("/pick.html"), "--selection", "div:has(> em)"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string page = temp.Read("Library/Web/Pick.htm");
    EXPECT_TRUE(Contains(page, ".far { color: blue }")) << page;
    EXPECT_TRUE(Contains(page, "p { color: red; }")) << page;
    EXPECT_TRUE(Contains(page, "<BODY><DIV class=\"note\"><EM>Kept</EM></DIV></BODY>")) << page;
    EXPECT_FALSE(Contains(page, "Left out")) << page;

    // What the page's reading refuses is an error, not a reason to read the source instead.
    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"collect", site.Url("/pick.html"), "--selection", "div:(("},
              "cannot use the selector \"div:((\""},
             {{"collect", site.Url("/missing.html")}, "the server answered HTTP 404"},
             // An address the browser refuses to go to is no blank page.
             {{"collect", "http://%zz/"}, "cannot read http://%zz/: "},
             // The browser downloads it rather than showing it.
             {{"collect", site.Url("/notes.zip")},
              "is an archive (application/zip), not a page"}}) {
        ProgramResult wrong = Wisp(args);
        EXPECT_EQ(wrong.exitStatus, 1);
        EXPECT_EQ(std::count(wrong.err.begin(), wrong.err.end(), '\n'), 1) << wrong.err;
        EXPECT_TRUE(Contains(wrong.err, message)) << wrong.err;
    }
    std::filesystem::directory_iterator saved(test::FromUtf8(temp.Path("Library/Web")));
    EXPECT_EQ(std::distance(saved, {}), 1);  // Pick.htm alone
}

TEST_F(WispRendering, TheWaitEndsWhenTheNetworkSettlesOrAtTheTimeLimit) {
    // A script that never comes holds the load event back: the page is read at the limit.
    site.AddStalled("/stalled");
    site.Add("/busy.html",
             "<html><head><title>Busy</title></head><body><script async src=\"stalled\">"
             "</script><script>"
             "document.body.insertAdjacentHTML('beforeend', '<p id=\"late\">Late</p>');"
             "</script></body></html>");
    ProgramResult busy = Wisp({"collect", site.Url("/busy.html"), "--render-timeout", "1.5"});
    ASSERT_EQ(busy.exitStatus, 0) << busy.err;
    EXPECT_TRUE(Contains(busy.err, "warning: the page was still loading after 1.5 seconds"))
        << busy.err;
    EXPECT_TRUE(Contains(temp.Read("Library/Web/Busy.htm"), "<P id=\"late\">Late</P>"));

    // A worker that polls forever and an event stream that never ends do not hold the page:
    // it is read once its own loading has settled, long before the time limit.
    site.Add("/tick", "tick", "text/plain");
    site.Add("/poll.js",
             "(async () => { for (;;) { await fetch('tick?' + Date.now());"
             " await new Promise(done => setTimeout(done, 10)); } })();",
             "application/javascript");
    site.Add("/live.html",
             "<html><head><title>Live</title></head><body><img src=\"s/made.png\"><script>"
             "new Worker('poll.js'); new EventSource('stalled');"
             "document.body.insertAdjacentHTML('beforeend', '<p id=\"made\">Made</p>');"
             "</script></body></html>");
    // The longest limit there is: a bound, not a wait.
    ProgramResult live = Wisp({"collect", site.Url("/live.html"), "--render-timeout", "600"});
    ASSERT_EQ(live.exitStatus, 0) << live.err;
    EXPECT_EQ(live.err, "");
    const std::string page = temp.Read("Library/Web/Live.htm");
    EXPECT_TRUE(Contains(page, "<P id=\"made\">Made</P>")) << page;
    EXPECT_EQ(temp.Read("Library/Web/Live.files/made.png"), "/s/made.png");
}

TEST_F(WispRendering, OneBrowserForSeveralPagesWhoseLoadsAreSavedAndTheRestFetchedWithCookies) {
    // The page's script signs the reader in with a cookie; the browser shows the 1x picture
    // and skips the 2x candidate, which only a signed-in reader may have.
    site.Add("/c/page.html",
             "<html><head><title>Signed in</title><script>"
             "document.cookie = 'reader=signed-in; path=/';"
             "</script></head><body><img src=\"shown.gif\" "
             "srcset=\"shown.gif 1x, guarded.png 2x\">"
             "<link rel=stylesheet href=big.css></body></html>");
    site.Add("/c/shown.gif", kPixel, "image/gif");
    site.Add("/c/big.css", "/*" + std::string(5000, 'b') + "*/", "text/css");  // over the limit
    site.AddForCookie("/c/guarded.png", "reader=signed-in", "guarded", "image/png");
    site.Add("/plain.html", "<html><head><title>Plain</title></head><body>Words.</body></html>");
    // Each start of the browser leaves a line.
    const std::string starts = temp.Path("starts");
    std::string browser = temp.MakeFile(
        "counted-browser", "#!/bin/sh\necho started >>'" + starts +
                               "'\nexec /usr/lib/chromium/chromium-headless-shell \"$@\"\n");
    std::filesystem::permissions(browser, std::filesystem::perms::owner_all);

    ProgramResult result = Wisp(
        {"collect", site.Url("/c/page.html"), site.Url("/s/page.html"), site.Url("/plain.html"),
         "--max-resource-size", "4K"},
        {{"WISP_BROWSER", browser}});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(temp.Read("starts"), "started\n");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 3) << result.out;
    EXPECT_EQ(temp.Read("Library/Web/Signed in.files/guarded.png"), "guarded");
    EXPECT_EQ(temp.Read("Library/Web/Signed in.files/shown.gif"), kPixel);
    // Loaded once, by the browser: the saved copy is its answer.
    EXPECT_EQ(site.RequestsFor("/c/shown.gif"), 1);
    // What the browser loaded is kept within the limits too.
    EXPECT_TRUE(Contains(result.err, "big.css (larger than --max-resource-size)")) << result.err;
    EXPECT_TRUE(Contains(temp.Read("Library/Web/Made by script.htm"), "Words of the script"));
    EXPECT_TRUE(Contains(temp.Read("Library/Web/Plain.htm"), "<BODY>Words.</BODY>"));
}

TEST_F(WispRendering, ABrowserThatCannotStartLeavesThePageToTheStaticReader) {
    std::string browser = temp.MakeFile(
        "broken-browser",
        "#!/bin/sh\necho '[1207:ERROR:zygote_host_impl_linux.cc(128)] No usable sandbox! If this "
        "is a Debian system, please install the chromium-sandbox package...' >&2\nexit 1\n");
    std::filesystem::permissions(browser, std::filesystem::perms::owner_all);
    ProgramResult result = Wisp({"collect", site.Url("/s/page.html"), "--title", "Fallback"},
                                {{"WISP_BROWSER", browser}});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(Contains(result.err,
                         "warning: the browser cannot render the page: the browser ended "
                         "(Chromium found no usable sandbox; install the chromium-sandbox "
                         "package)"))
        << result.err;
    EXPECT_TRUE(Contains(result.out, "(static)\n")) << result.out;
}

TEST_F(WispRendering, AnInterruptedCollectLeavesNoBrowserBehind) {
    site.AddStalled("/stalled");
    site.Add("/busy.html", "<html><body><img src=\"stalled\"></body></html>");
    test::StartedProgram wisp =
        test::StartProgram(WISP_BINARY,
                           {"collect", site.Url("/busy.html"), "--root", temp.Path("Library"),
                            "--book", "Web", "--render-timeout", "60"},
                           Environment());
    ASSERT_GT(wisp.pid, 0);
    const pid_t pid = wisp.pid;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    // The page asks for its picture once the browser, its renderer and its network run.
    while (site.StalledRequests() < 1 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // wisp itself carries the mark too; the rest are the browser and its helpers.
    EXPECT_GE(MarkedProcesses(), 2u);
    ::kill(pid, SIGINT);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ADD_FAILURE() << "wisp did not end on SIGINT";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    ::close(wisp.in);
    ::close(wisp.out);
    EXPECT_FALSE(temp.Exists("Library/Web/New File.htm"));
}

}  // namespace
}  // namespace wisp
