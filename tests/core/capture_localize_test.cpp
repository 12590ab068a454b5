#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "CaptureTestPorts.h"
#include "PassThroughFileSystem.h"
#include "core/capture/CaptureContext.h"
#include "core/capture/DocumentBase.h"
#include "core/capture/ReferenceText.h"
#include "core/capture/TagResources.h"

// The resource localizer over the platform's real files and URL combination.
namespace wisp {
namespace {

using test::Native;
using test::TempFolder;

// The text with each "News.files/" written with the platform's separator.
std::string Rewritten(std::string text) {
    const std::string folder = "News.files/";
    for (std::size_t at = text.find(folder); at != std::string::npos;
         at = text.find(folder, at + folder.size())) {
        text[at + folder.size() - 1] = kPathSeparator;
    }
    return text;
}

class LocalizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.MakeFolder("Book");
        pagePath = temp.Path("Book/News.htm");
    }

    // Runs Init and LocalizeResources; the page's companion folder is News.files.
    CCaptureContext& Localize(const std::string& html, const std::string& pageUrl) {
        job = std::make_unique<CCaptureContext>(ports.Ports());
        job->Init(html, pageUrl, pagePath);
        result = job->LocalizeResources();
        return *job;
    }

    std::string Local(const std::string& name) const {
        return temp.Path("Book/News.files/" + name);
    }

    TempFolder temp;
    test::CaptureFixturePorts ports;
    std::string pagePath;
    std::unique_ptr<CCaptureContext> job;
    bool result = false;
};

TEST_F(LocalizeTest, FollowsTheTagTableAndTheQuotingStyles) {
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        {"<A href=\"tool.zip\">", "<A href=\"News.files/tool.zip\">", {"tool.zip"}},
        {"<A href=\"TOOL.ZIP\">", "<A href=\"News.files/TOOL.ZIP\">", {"TOOL.ZIP"}},
        // Links to other pages are written with their absolute addresses, fragments kept;
        // those that need no base stay as they are.
        {"<A href=\"notes.html\">", "<A href=\"http://host/dir/notes.html\">", {}},
        {"<A href=\"tool.Zip\">", "<A href=\"http://host/dir/tool.Zip\">", {}},
        {"<a HREF=' ../up.php?a=1&amp;b=2#s'><AREA href=x.html>",
         "<a HREF='http://host/up.php?a=1&amp;b=2#s'><AREA href=http://host/dir/x.html>",
         {}},
        {"<A href=\"#top\"><A href=\"mailto:a@b.c\"><A href=\"HTTP://other/\"><A href>",
         "<A href=\"#top\"><A href=\"mailto:a@b.c\"><A href=\"HTTP://other/\"><A href>",
         {}},
        {"<AREA href=\"m.zip\">", "<AREA href=\"News.files/m.zip\">", {"m.zip"}},
        {"<img src=\"a.gif\">", "<img src=\"a.gif\">", {}},
        {"<IMG SRC=\"a.gif\">", "<IMG SRC=\"a.gif\">", {}},
        {"<IMG src=a.gif width=3>", "<IMG src=News.files/a.gif width=3>", {"a.gif"}},
        {"<IMG src=a.gif>", "<IMG src=a.gif>", {}},
        {"<IMG src='a.gif'>", "<IMG src='News.files/a.gif'>", {"a.gif"}},
        {"<IMG src=\"a.gif>", "<IMG src=\"a.gif>", {}},
        {"<IMG lowsrc=\"low.gif\" src=\"hi.gif\">",
         "<IMG lowsrc=\"News.files/low.gif\" src=\"hi.gif\">",
         {"low.gif"}},
        {"<SCRIPT src=\"/js/load.php?v=2\"></SCRIPT>",
         "<SCRIPT src=\"News.files/load.htm\"></SCRIPT>",
         {"http://host/js/load.php?v=2"}},
        // References resolve against the BASE, which the copy keeps only for its target.
        {"<HEAD><BASE href=\" ../other/\"></HEAD><IMG src=\"i.png\"><A href=\"x.html\">",
         "<HEAD></HEAD><IMG src=\"News.files/i.png\"><A href=\"http://host/other/x.html\">",
         {"http://host/other/i.png"}},
        {"<!-- <BASE href=\"no/\"> --><base target=_top href=\"http://cdn.example/s/\">"
         "<IMG src=\"j.png\">",
         "<!-- <BASE href=\"no/\"> --><BASE target=\"_top\"><IMG src=\"News.files/j.png\">",
         {"http://cdn.example/s/j.png"}},
        // The address as the browser reads it, its references decoded once.
        {"<LINK rel=stylesheet href=\"t.css?v=1&amp;t=2&#38;amp;\">",
         "<LINK rel=stylesheet href=\"News.files/t.css\">",
         {"t.css?v=1&t=2&amp;"}},
        {"<LINK rel=stylesheet href=\"../s.css\">",
         "<LINK rel=stylesheet href=\"News.files/s.css\">",
         {"http://host/s.css"}},
        {"<FRAMESET><FRAME src=\"f.htm\"></FRAMESET>",
         "<FRAMESET><FRAME src=\"News.files/f.htm\"></FRAMESET>",
         {"f.htm"}},
        {"<INPUT type=image src=\"go.png\">",
         "<INPUT type=image src=\"News.files/go.png\">",
         {"go.png"}},
        {"<IMG src=\"http://cdn.example/x/y.png\">",
         "<IMG src=\"News.files/y.png\">",
         {"http://cdn.example/x/y.png"}},
        {"<IMG src=\"\">", "<IMG src=\"\">", {}},
        {"<IMG src=\"dir/\">", "<IMG src=\"dir/\">", {}},
        {"<IMG src=\"a.gif\"", "<IMG src=\"a.gif\"", {}},
        // A tag inside a comment is found like any other.
        {"<!-- <IMG src=\"c.gif\"> -->", "<!-- <IMG src=\"News.files/c.gif\"> -->", {"c.gif"}},
        // The rows are visited in table order, not in page order.
        {"<IMG src=\"i.gif\"><SCRIPT src=\"s.js\">",
         "<IMG src=\"News.files/i.gif\"><SCRIPT src=\"News.files/s.js\">",
         {"s.js", "i.gif"}},
        // Identical tags are rewritten together; those met again carry the value written for
        // the first, which names the saved file: the address is queued once.
        {"<IMG src=\"p.gif\"><B>x</B><IMG src=\"p.gif\"><IMG src=\"p.gif\" width=1>",
         "<IMG src=\"News.files/p.gif\"><B>x</B><IMG src=\"News.files/p.gif\">"
         "<IMG src=\"News.files/p.gif\" width=1>",
         {"p.gif"}},
        // A value standing twice in its tag is replaced twice.
        {"<IMG alt=\"a.gif\" src=\"a.gif\">",
         "<IMG alt=\"News.files/a.gif\" src=\"News.files/a.gif\">",
         {"a.gif"}},
        {"<IMG src=\"a.png\" srcset=\"a.png 1x, b.png 2x\">",
         "<IMG src=\"News.files/a.png\" srcset=\"News.files/a.png 1x, News.files/b.png 2x\">",
         {"a.png", "b.png"}},
        // Character references in a candidate: named, decimal and hex.
        {"<img SRCSET='q.png?x=1&amp;y=2&#095;&#x5F; 480w'>",
         "<img SRCSET='News.files/q.png 480w'>",
         {"q.png?x=1&y=2__"}},
        {"<PICTURE><SOURCE srcset=\"w.webp\" type=\"image/webp\"><IMG src=\"p.jpg\"></PICTURE>",
         "<PICTURE><SOURCE srcset=\"News.files/w.webp\" type=\"image/webp\">"
         "<IMG src=\"News.files/p.jpg\"></PICTURE>",
         {"p.jpg", "w.webp"}},
        {"<VIDEO poster=\"v.jpg\" src=\"v.mp4\"><SOURCE src=\"v.webm\"><TRACK src=\"t.vtt\">"
         "</VIDEO><AUDIO src=s.ogg></AUDIO>",
         "<VIDEO poster=\"News.files/v.jpg\" src=\"News.files/v.mp4\">"
         "<SOURCE src=\"News.files/v.webm\"><TRACK src=\"News.files/t.vtt\"></VIDEO>"
         "<AUDIO src=News.files/s.ogg></AUDIO>",
         {"v.jpg", "v.mp4", "v.webm", "t.vtt", "s.ogg"}},
        {"<IFRAME src=\"in.html\"></IFRAME><OBJECT data=\"m.svg\"></OBJECT><EMBED src=\"e.swf\">",
         "<IFRAME src=\"News.files/in.html\"></IFRAME><OBJECT data=\"News.files/m.svg\"></OBJECT>"
         "<EMBED src=\"News.files/e.swf\">",
         {"in.html", "m.svg", "e.swf"}},
        {"<TRACK src=\" t.vtt\n\">", "<TRACK src=\"News.files/t.vtt\">", {"t.vtt"}},
        {"<BODY background=\"bg.gif\"><TD background=bg.gif>",
         "<BODY background=\"News.files/bg.gif\"><TD background=News.files/bg.gif>",
         {"bg.gif"}},
        {"<DIV style=\"background:url('d.png')\">x</DIV>",
         "<DIV style=\"background:url('News.files/d.png')\">x</DIV>",
         {"d.png"}},
        {"<STYLE>@import \"i.css\"; p{background:url(s.png)} /* url(no.png) */</STYLE>",
         "<STYLE>@import \"News.files/i.css\"; p{background:url(News.files/s.png)} "
         "/* url(no.png) */</STYLE>",
         {"i.css", "s.png"}},
        {"<svg><image href=\"si.png\"/><use xlink:href=\"sp.svg#icon\"/><use href=\"#own\"/>"
         "</svg>",
         "<svg><image href=\"News.files/si.png\"/><use xlink:href=\"News.files/sp.svg#icon\"/>"
         "<use href=\"#own\"/></svg>",
         {"si.png", "sp.svg"}},
        // Script text, a title's, a text box's or an example's text and comments hold no
        // references.
        {"<SCRIPT>var s = '<iframe src=\"no.html\">';</SCRIPT><!-- <video src=\"c.mp4\"> -->"
         "<TITLE><b style=\"background:url(t.png)\"></TITLE><TEXTAREA><i "
         "style=\"background:url(t.png)\">"
         "</TEXTAREA><XMP><VIDEO src=\"x.mp4\"></XMP>",
         "<SCRIPT>var s = '<iframe src=\"no.html\">';</SCRIPT><!-- <video src=\"c.mp4\"> -->"
         "<TITLE><b style=\"background:url(t.png)\"></TITLE><TEXTAREA><i "
         "style=\"background:url(t.png)\">"
         "</TEXTAREA><XMP><VIDEO src=\"x.mp4\"></XMP>",
         {}},
        {"<IMG srcset=\"data:image/png;base64,AA== 1x\"><VIDEO src=\"\">",
         "<IMG srcset=\"data:image/png;base64,AA== 1x\"><VIDEO src=\"\">",
         {}},
    };
    for (const auto& [html, rewritten, files] : cases) {
        CCaptureContext& job = Localize(html, "http://host/dir/page.html");
        EXPECT_TRUE(result) << html;
        EXPECT_EQ(job.Html(), Rewritten(rewritten)) << html;
        std::vector<std::string> urls;
        for (const std::string& file : files) {
            urls.push_back(file.starts_with("http") ? file : "http://host/dir/" + file);
        }
        EXPECT_EQ(job.SourceUrls(), urls) << html;
        EXPECT_EQ(job.LocalPaths().size(), urls.size()) << html;
    }
}

TEST_F(LocalizeTest, LimitsOfAddressesAndPathsAreKept) {
    const std::string base = "http://host/dir/page.html";
    // Combined to 255 characters: localized; to 256: left as written.
    const std::string fits(255 - std::string("http://host/dir/").size(), 'a');
    Localize("<IMG src=\"" + fits + "\">", base);
    EXPECT_EQ(job->SourceUrls().size(), 1u);
    Localize("<IMG src=\"" + fits + "b\">", base);
    EXPECT_TRUE(job->SourceUrls().empty());

    // An absolute address is not combined: up to 511 characters it is queued.
    const std::string longName(100, 'n');
    std::string absolute = "http://host/" + std::string(511 - 12 - 101, 'q') + "/" + longName;
    ASSERT_EQ(absolute.size(), 511u);
    Localize("<IMG src=\"" + absolute + "\">", base);
    EXPECT_EQ(job->SourceUrls(), std::vector<std::string>{absolute});
    Localize("<IMG src=\"" + absolute + "x\">", base);
    EXPECT_TRUE(job->SourceUrls().empty());
}

TEST_F(LocalizeTest, DownloadsFollowTheQueueBehindTheProgress) {
    CCaptureContext& job =
        Localize("<IMG src=\"a.gif\"><SCRIPT src=\"s.js\">", "http://host/page.html");
    EXPECT_EQ(job.CompanionName(), "News.files");
    EXPECT_TRUE(job.DownloadResources());
    using Request = std::pair<std::string, std::string>;
    EXPECT_EQ(ports.downloader.requests,
              (std::vector<Request>{{"http://host/s.js", Local("s.js")},
                                    {"http://host/a.gif", Local("a.gif")}}));
    EXPECT_EQ(ports.progress.events,
              (std::vector<std::string>{"show", "http://host/s.js", "http://host/a.gif", "close"}));
}

TEST_F(LocalizeTest, APagePathWithoutAFolderKeepsItsCompanionBesideIt) {
    pagePath = "News.htm";
    CCaptureContext& job = Localize("<IMG src=\"a.gif\">", "http://host/p.html");
    EXPECT_EQ(job.PageFolder(), "");
    ASSERT_EQ(job.LocalPaths().size(), 1u);
    EXPECT_EQ(job.LocalPaths()[0], Rewritten("News.files/a.gif"));
    ports.files->RemoveFolder("News.files");
}

TEST_F(LocalizeTest, OnlyTheLinksThePageNeedsAreFetched) {
    const std::pair<const char*, bool> cases[] = {{"rel=\"stylesheet\"", true},
                                                  {"rel=\"alternate stylesheet\"", true},
                                                  {"rel=\"shortcut icon\"", true},
                                                  {"rel=\"apple-touch-icon\"", true},
                                                  {"rel=\"mask-icon\"", true},
                                                  {"rel=\"manifest\"", true},
                                                  {"rel=\"preload\" as=\"font\"", true},
                                                  {"rel=\"preload\" as=\"image\"", true},
                                                  {"rel=\"modulepreload\"", true},
                                                  {"rel=\"preload\" as=\"fetch\"", false},
                                                  {"rel=\"next\"", false},
                                                  {"rel=\"canonical\"", false},
                                                  {"", false}};
    for (const auto& [relation, fetched] : cases) {
        CCaptureContext& job =
            Localize(std::string("<LINK ") + relation + " href=\"x.css\">", "http://h/p.html");
        EXPECT_EQ(job.SourceUrls().size(), fetched ? 1u : 0u) << relation;
    }
}

// The first BASE element with an href, as a browser finds it: not in a comment, not an
// element whose name only starts with "base", in any case and with any space after its name.
TEST(FindBaseElement, TakesTheFirstRealOneWithAnHref) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"<p><BASE href=\"a/\"><base href=\"b/\">", "a/"},
        {"<base\thref='t/'>", "t/"},
        {"<Base\nhref=n/>", "n/"},
        {"<base/href=s/>", "s/"},
        {"<basefont href=\"no/\"><base target=_top><base href=\"yes/\">", "yes/"},
        {"<!-- <base href=\"no/\"> --><base href=\"after/\">", "after/"},
        {"<!-- <base href=\"no/\">", std::nullopt},
        {"<base href=\"open/\"", std::nullopt},
        {"x<base", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [html, href] : cases) {
        std::optional<BaseElement> base = FindBaseElement(html);
        EXPECT_EQ(base ? std::optional(base->href) : std::nullopt, href) << html;
    }
    const std::string page = "<p>x</p><base target=\"_blank\" href=\"h/\"><i>";
    std::optional<BaseElement> base = FindBaseElement(page);
    ASSERT_TRUE(base);
    EXPECT_EQ(page.substr(base->start, base->end - base->start),
              "<base target=\"_blank\" href=\"h/\">");
    EXPECT_EQ(base->target, "_blank");
}

// The addresses a page's tags name, listed before it is saved, are those saving it asks for
// first: none it would not ask for, each once.
TEST_F(LocalizeTest, TheTagsResourcesAreListedAsSavingAsksForThem) {
    // Written as the parser writes a page; the tag table's rows in turn (A, SCRIPT, IMG, LINK).
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"<IMG src=\"a.gif\"><LINK rel=\"next\" href=\"n.html\"><LINK rel=\"stylesheet\" "
         "href=\"s.css#x\"><IMG src=\"a.gif#y\"><A href=\"t.zip\"><A href=\"n.html\">"
         "<SCRIPT src=\"j.js?a=1&amp;b=2\">",
         {"http://h/d/t.zip", "http://h/d/j.js?a=1&b=2", "http://h/d/a.gif", "http://h/d/s.css"}},
        {"<BASE href=\"http://cdn/x/\"><IMG src=\"a.gif\"><IMG src=\"data:image/gif;base64,R0\">"
         "<IMG src=\"javascript:x()\"><IMG src=\"#f\"><IMG srcset=\"w.gif 2x\">",
         {"http://cdn/x/a.gif"}},
        {"<BASE href=\"javascript:void(0)\"><IMG src=\"/root.gif\"><IMG src=\"http://o/b.gif\">",
         {"http://h/root.gif", "http://o/b.gif"}},
    };
    for (const auto& [html, expected] : cases) {
        const std::vector<std::string> listed =
            TagResourceAddresses(html, "http://h/d/p.html", *ports.urlCombiner);
        EXPECT_EQ(listed, expected) << html;
        const std::vector<std::string>& asked = Localize(html, "http://h/d/p.html").SourceUrls();
        for (const std::string& url : listed) {
            EXPECT_NE(std::find(asked.begin(), asked.end(), url), asked.end()) << url;
        }
    }
}

TEST_F(LocalizeTest, DistinctAddressesGetDistinctFilesAndReferencesStayUrls) {
    pagePath = temp.Path("Book/50% #1 b.htm");
    CCaptureContext& job = Localize(
        "<IMG src=\"a/logo.png\"><IMG src=\"b/logo.png\"><IMG src=\"b/LOGO.png\">"
        "<IMG src=\"a/logo.png\"><SCRIPT src=\"q.js?v=2\"></SCRIPT>"
        "<LINK rel=stylesheet href=\"q.css?v=3\"><IMG src=\"with%20space%23.png\">",
        "http://h/p.html");
    const std::string folder = "50%25%20%231%20b.files";
    // Only the references take this platform's separator, not the end tag.
    EXPECT_EQ(job.Html(),
              Native("<IMG src=\"" + folder + "/logo.png\"><IMG src=\"" + folder +
                     "/logo-2.png\"><IMG src=\"" + folder + "/LOGO-3.png\">" + "<IMG src=\"" +
                     folder + "/logo.png\"><SCRIPT src=\"" + folder + "/q.js\">") +
                  "</SCRIPT>" +
                  Native("<LINK rel=stylesheet href=\"" + folder + "/q.css\"><IMG src=\"" + folder +
                         "/with%20space%23.png\">"));
    EXPECT_EQ(job.SourceUrls(),
              (std::vector<std::string>{"http://h/q.js?v=2", "http://h/a/logo.png",
                                        "http://h/b/logo.png", "http://h/b/LOGO.png",
                                        "http://h/with%20space%23.png", "http://h/q.css?v=3"}));
    EXPECT_EQ(job.LocalPaths().back(), temp.Path("Book/50% #1 b.files/q.css"));
    EXPECT_EQ(job.LocalPaths()[4], temp.Path("Book/50% #1 b.files/with space#.png"));
}

TEST(MakeLocalReference, NeverReadsAsASchemeOrLosesACharacter) {
    const std::string sep(1, kPathSeparator);
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"News.files", "a.png", "News.files" + sep + "a.png"},
        {"Doxygen: Getting started.files", "a.png",
         "./Doxygen:%20Getting%20started.files" + sep + "a.png"},
        {"A.files", "x:y.png", "A.files" + sep + "x:y.png"},
        {"", "x:y.png", "./x:y.png"},
        {"", "a b%c#d?e\"f'g<h>&(i).png", "a%20b%25c%23d%3Fe%22f%27g%3Ch%3E%26%28i%29.png"},
        {"", "\xC3\xA9t\xC3\xA9.css", "\xC3\xA9t\xC3\xA9.css"},
    };
    for (const auto& [folder, file, reference] : cases) {
        EXPECT_EQ(MakeLocalReference(folder, file), reference) << folder << " " << file;
    }
}

// Serves a fixed site: writes the file of a known address, fails for any other.
class ServingDownloader final : public IDownloader {
public:
    bool Download(std::string_view url, std::string_view localPath) override {
        requests.emplace_back(url);
        auto page = site.find(std::string(url));
        if (page == site.end()) {
            return false;
        }
        std::ofstream(std::string(localPath), std::ios::binary) << page->second;
        if (whileFetching) {
            whileFetching(url);
        }
        return true;
    }
    std::map<std::string, std::string> site;
    std::function<void(std::string_view url)> whileFetching;
    std::vector<std::string> requests;
};

TEST_F(LocalizeTest, StyleSheetsAndFramesAreFollowedAndFailuresKeepTheirAddress) {
    ServingDownloader server;
    const std::string base = "http://host/dir/";
    server.site = {
        {base + "css/s.css",
         "@import url(base.css); @font-face{src:url(\"../fonts/f.woff2\")}\n"
         "body{background:url(../img/logo.png)} p{background:url('missing.png')}"},
        {base + "css/base.css", "@import \"s.css\"; a{b:url(x.png)}"},
        {base + "css/x.png", "x"},
        {base + "fonts/f.woff2", "font"},
        {base + "img/logo.png", "logo"},
        {base + "other/logo.png", "other"},
        {base + "f.html", "<html><body><img src=\"img/logo.png\"><img src=\"in.png\"></body>"},
        {base + "in.png", "in"},
    };
    CCaptureContext job({*ports.files, *ports.urlCombiner, server, ports.progress, *ports.shell});
    // The sheet is named first where a picture would be: it is still read as a sheet.
    job.Init(
        "<IMG src=\"css/s.css\"><LINK rel=\"stylesheet\" href=\"css/s.css\"><IMG src=\"gone.png\">"
        "<IMG src=\"img/logo.png\"><IMG src=\"other/logo.png\"><IFRAME src=\"f.html\">"
        "</IFRAME><IMG src=\"gone.png\" width=1><IMG src=\"lost.png\">",
        base + "page.html", pagePath);
    ASSERT_TRUE(job.LocalizeResources());
    ASSERT_TRUE(job.DownloadResources());

    EXPECT_EQ(job.Html(), Rewritten("<IMG src=\"News.files/s.css\">"
                                    "<LINK rel=\"stylesheet\" href=\"News.files/s.css\">"
                                    "<IMG src=\"http://host/dir/gone.png\">"
                                    "<IMG src=\"News.files/logo.png\">"
                                    "<IMG src=\"News.files/logo-2.png\">"
                                    "<IFRAME src=\"News.files/f.html\"></IFRAME>"
                                    "<IMG src=\"http://host/dir/gone.png\" width=1>"
                                    "<IMG src=\"http://host/dir/lost.png\">"));
    EXPECT_EQ(
        temp.Read("Book/News.files/s.css"),
        "@import url(base.css); @font-face{src:url(\"f.woff2\")}\n"
        "body{background:url(logo.png)} p{background:url('http://host/dir/css/missing.png')}");
    EXPECT_EQ(temp.Read("Book/News.files/base.css"), "@import \"s.css\"; a{b:url(x.png)}");
    EXPECT_EQ(temp.Read("Book/News.files/f.html"),
              "<HTML><BODY><IMG src=\"logo.png\"><IMG src=\"in.png\"></BODY>");
    EXPECT_EQ(temp.Read("Book/News.files/x.png"), "x");
    EXPECT_EQ(temp.Read("Book/News.files/f.woff2"), "font");
    // Every address is asked for once, however often it is referenced.
    std::vector<std::string> asked = server.requests;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(std::adjacent_find(asked.begin(), asked.end()), asked.end());
    EXPECT_EQ(asked.size(), 11u);
    const std::vector<bool> fetched = job.Fetched();
    ASSERT_EQ(fetched.size(), job.SourceUrls().size());
    EXPECT_EQ(std::count(fetched.begin(), fetched.end(), false), 3);
}

TEST_F(LocalizeTest, ModulesAreFollowedAndSpritesCarriedInside) {
    ServingDownloader server;
    const std::string base = "http://host/app/";
    server.site = {
        {base + "js/main.js", "import {a} from './lib/a.js';\nimport('../gone.js');"},
        {base + "js/lib/a.js", "export * from '../main.js'; export const a = 1;"},
        {base + "js/in.js", "import \"/app/js/lib/a.js\""},
        {base + "s.svg", "<svg><symbol id=i /></svg>"},
        {"https://cdn.test/v.js", "import {a} from 'lib'; export const v = a;"},
    };
    CCaptureContext job({*ports.files, *ports.urlCombiner, server, ports.progress, *ports.shell});
    // A module that cannot be fetched keeps its address, as a script holds it: not escaped.
    job.Init(
        "<SCRIPT type=\"module \" src=\"js/main.js\"></SCRIPT><script type=Module>"
        "import './js/in.js'; import './js/gone.js?a=1&b=2'</script>"
        "<SCRIPT>import('./js/no.js')</SCRIPT>"
        "<svg><use href=s.svg#i /></svg>"
        // Bare names lead to the saved copies through the page's import map.
        "<script type=importmap>{\"imports\": {\"vendor\": \"https://cdn.test/v.js\", "
        "\"lib\": \"./js/lib/a.js\"}}</script>",
        base + "page.html", pagePath);
    ASSERT_TRUE(job.LocalizeResources());
    ASSERT_TRUE(job.DownloadResources());

    EXPECT_EQ(job.Html(), Rewritten("<SCRIPT type=\"module \" src=\"News.files/main.js\"></SCRIPT>"
                                    "<script type=Module>import './News.files/in.js'; "
                                    "import 'http://host/app/js/gone.js?a=1&b=2'</script>"
                                    "<SCRIPT>import('./js/no.js')</SCRIPT>"
                                    "<svg><use href=#i /></svg>"
                                    "<script type=importmap>{\"imports\": {\"vendor\": "
                                    "\"./News.files/v.js\", \"lib\": \"./News.files/a.js\"}}"
                                    "</script>"
                                    "<svg xmlns=\"http://www.w3.org/2000/svg\" aria-hidden=\"true\""
                                    " style=\"position:absolute;width:0;height:0;overflow:hidden\">"
                                    "<symbol id=i /></svg>"));
    EXPECT_EQ(temp.Read("Book/News.files/main.js"),
              "import {a} from './a.js';\nimport('http://host/app/gone.js');");
    EXPECT_EQ(temp.Read("Book/News.files/a.js"), "export * from './main.js'; export const a = 1;");
    EXPECT_EQ(temp.Read("Book/News.files/in.js"), "import \"./a.js\"");
    EXPECT_EQ(temp.Read("Book/News.files/v.js"), "import {a} from 'lib'; export const v = a;");
}

TEST_F(LocalizeTest, ASheetAnotherCaptureWritesMeanwhileIsNeverReadBack) {
    ServingDownloader server;
    server.site = {{"http://host/css/s.css", "p{background:url(../img/logo.png)}"},
                   {"http://host/img/logo.png", "logo"}};
    // A second capture of the same page finishes the same sheet while this one fetches it.
    server.whileFetching = [&](std::string_view url) {
        if (url == "http://host/css/s.css") {
            std::ofstream(temp.Path("Book/News.files/s.css")) << "p{background:url(logo.png)}";
        }
    };
    CCaptureContext job({*ports.files, *ports.urlCombiner, server, ports.progress, *ports.shell});
    job.Init("<LINK rel=\"stylesheet\" href=\"css/s.css\">", "http://host/page.html", pagePath);
    ASSERT_TRUE(job.LocalizeResources());
    ASSERT_TRUE(job.DownloadResources());

    EXPECT_EQ(server.requests,
              (std::vector<std::string>{"http://host/css/s.css", "http://host/img/logo.png"}));
    EXPECT_EQ(temp.Read("Book/News.files/s.css"), "p{background:url(logo.png)}");
    EXPECT_EQ(ports.files->ListFolder(temp.Path("Book/News.files"))->size(), 2u);
}

// The platform's files, except that no folder can be created.
class FolderFailingFiles final : public test::PassThroughFileSystem {
public:
    CreateFolderResult CreateFolder(std::string_view) override {
        return CreateFolderResult::Failed;
    }
};

TEST(LocalizeResources, AFolderThatCannotBeMadeLeavesThePageAsItWas) {
    TempFolder temp;
    test::CaptureFixturePorts ports;
    FolderFailingFiles files;
    CCaptureContext job({files, *ports.urlCombiner, ports.downloader, ports.progress, *ports.shell});
    const std::string html = "<IMG src=\"a.gif\"><IMG src=\"b.gif\"><IMG src=\"c.gif\">";
    job.Init(html, "http://host/p.html", temp.Path("News.htm"));
    EXPECT_FALSE(job.LocalizeResources());
    EXPECT_EQ(job.Html(), html);
    EXPECT_TRUE(job.SourceUrls().empty());
    job.DownloadResources();
    EXPECT_TRUE(ports.downloader.requests.empty());
}

TEST(LocalizeResources, SurvivesBrokenPagesAndAddresses) {
    using namespace std::string_literals;
    TempFolder temp;
    test::CaptureFixturePorts ports;
    const std::string pages[] = {
        "<IMG src=\"a\0b.gif\">"s,
        "<IMG src=\"\0\">"s,
        "<IMG src='"s + std::string(100000, '\'') + ">",
        "<IMG src=\"http://h/\xff\xfe.gif\"><IMG src=\"\xc3\">",
        "<SCRIPT src=\"?\"><SCRIPT src=\"/\"><LINK href=\"..\\..\\..\\x.css\">",
        "<A href=\".zip\"><A href=\"/.zip\"><A href=\"a/..zip\">",
    };
    const std::string pageUrls[] = {
        "http://host/dir/p.html",   "http://\0/x"s, "https://", "C:\\", "file:",
        "\\\\server\\share\\p.htm", ":\\"};
    for (const std::string& pageUrl : pageUrls) {
        for (const std::string& page : pages) {
            CCaptureContext job(ports.Ports());
            job.Init(page, pageUrl, temp.Path("News.htm"));
            EXPECT_TRUE(job.LocalizeResources());
            EXPECT_EQ(job.SourceUrls().size(), job.LocalPaths().size());
            const std::string folder = temp.Path("News.files") + kPathSeparator;
            for (const std::string& path : job.LocalPaths()) {
                // Whatever the page says, its files stay inside the companion folder.
                ASSERT_EQ(path.rfind(folder, 0), 0u) << path;
                const std::string name = path.substr(folder.size());
                EXPECT_EQ(name.find(kPathSeparator), std::string::npos) << path;
                EXPECT_TRUE(name != "." && name != ".." && !name.empty()) << path;
            }
        }
    }
}

}  // namespace
}  // namespace wisp
