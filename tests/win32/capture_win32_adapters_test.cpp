// The Windows side of capture: the browser's document, the dropped or pasted data object,
// address combining, downloads and the progress window.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "QXWispModule.h"
#include "StandInDataObject.h"
#include "StandInDocument.h"
#include "core/capture/PageComposition.h"
#include "support/TempFolder.h"
#include "win32/capture/DataObjectHtml.h"
#include "win32/capture/DownloadDlg.h"
#include "win32/capture/HtmlDocumentPageSource.h"
#include "win32/capture/UrlMonDownloader.h"
#include "win32/capture/WinInetUrlCombiner.h"

namespace wisp::test {
namespace {

TEST(HtmlDocumentPageSource, ReadsTheDocumentInTheFormTheScanExpects) {
    StandInDocument document;
    document.title = L"Caf\u00e9 notes";
    document.url = L"http://example.org/notes.html";
    StandInElement comment(L"!", L"<!-- note -->");
    // A standards-mode document reports its markup in lower case.
    StandInElement root(L"html", L"<html><body><img SRC=\"pic.png\" alt='<b>'></body></html>");
    document.all.elements = {&comment, &root};
    StandInStyleSheet sheet(L"p { color: red }");
    document.sheets.sheets = {&sheet, nullptr};
    document.selection.textRange.html = L"<p class=x>chosen</p>";

    win32::HtmlDocumentPageSource source(&document);
    EXPECT_EQ(source.Title(), "Caf\xc3\xa9 notes");
    EXPECT_EQ(source.Url(), "http://example.org/notes.html");
    EXPECT_EQ(ComposeWholePage(source),
              "<HTML><BODY><IMG src=\"pic.png\" alt='<b>'></BODY></HTML>");
    EXPECT_EQ(source.StyleSheetsCss(),
              (std::vector<std::optional<std::string>>{"p { color: red }", std::nullopt}));
    EXPECT_EQ(source.SelectionHtml(), "<P class=x>chosen</P>");

    document.sheetsReadable = false;
    EXPECT_EQ(source.StyleSheetsCss(), std::nullopt);
}

TEST(DownloadDlg, ShowsEachAddressAndRunsOnAfterItsButtons) {
    QXWispModule module;
    ASSERT_TRUE(module.Loaded());
    win32::CDownloadDlg progress(module.Handle());
    progress.Show();
    HWND window = progress.Handle();
    ASSERT_TRUE(window);
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    EXPECT_STREQ(text, L"Downloading...");
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);

    // Centred on the work area.
    RECT work{};
    RECT frame{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(window, &frame);
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);

    // The clip is a resource the animation control can open.
    HWND animation = ::GetDlgItem(window, 214);
    EXPECT_TRUE(::SendMessageW(animation, ACM_OPENW, reinterpret_cast<WPARAM>(module.Handle()),
                               reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(102))));

    progress.SetStatus("http://example.org/pic.png");
    ::GetDlgItemTextW(window, 201, text, 128);
    EXPECT_STREQ(text, L"http://example.org/pic.png");

    // Cancel only closes the window; the loop's next address still reaches it.
    ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    progress.SetStatus("http://example.org/next.png");
    ::GetDlgItemTextW(window, 201, text, 128);
    EXPECT_STREQ(text, L"http://example.org/next.png");

    progress.Close();
    EXPECT_FALSE(::IsWindow(window));
}

TEST(ReadHtmlFormat, TakesTheHtmlFormatFromGlobalMemoryOnly) {
    const CLIPFORMAT html = win32::HtmlClipboardFormat();
    EXPECT_EQ(html, ::RegisterClipboardFormatW(L"HTML Format"));

    StandInDataObject offered(html, "Version:1.0\r\nStartHTML:0");
    EXPECT_TRUE(win32::OffersHtml(&offered));
    EXPECT_EQ(win32::ReadHtmlFormat(&offered), "Version:1.0\r\nStartHTML:0");

    StandInDataObject plainText(CF_TEXT, "just text");
    EXPECT_FALSE(win32::OffersHtml(&plainText));
    EXPECT_EQ(win32::ReadHtmlFormat(&plainText), std::nullopt);

    StandInDataObject inAStream(html, "Version:1.0", TYMED_ISTREAM);
    EXPECT_EQ(win32::ReadHtmlFormat(&inAStream), std::nullopt);
    EXPECT_EQ(win32::ReadHtmlFormat(nullptr), std::nullopt);
}

TEST(WinInetUrlCombiner, ResolvesWithoutEscaping) {
    struct Case {
        const char* base;
        const char* reference;
        const char* combined;
    };
    const Case cases[] = {
        {"http://host/dir/page.html", "pic.gif", "http://host/dir/pic.gif"},
        {"http://host/dir/page.html", "../up.gif", "http://host/up.gif"},
        {"http://host/dir/page.html", "/root.gif", "http://host/root.gif"},
        {"https://host/dir/page.html", "img/a.gif", "https://host/dir/img/a.gif"},
        {"http://host/dir/page.html", "http://other/x.gif", "http://other/x.gif"},
        {"http://host/dir/page.html", "a b.gif", "http://host/dir/a b.gif"},
        {"http://host/dir/page.html", "caf\xc3\xa9.gif", "http://host/dir/caf\xc3\xa9.gif"},
        // A reference the localizer wrote names the same file again.
        {"http://host/dir/page.html", "News.files\\pic.gif", "http://host/dir/News.files/pic.gif"},
    };
    win32::WinInetUrlCombiner combiner;
    for (const Case& c : cases) {
        std::optional<std::string> got = combiner.Combine(c.base, c.reference);
        ASSERT_TRUE(got.has_value()) << c.base << " + " << c.reference;
        EXPECT_EQ(*got, c.combined) << c.base << " + " << c.reference;
    }
    // A reference longer than any URL is refused, never cut to another address.
    EXPECT_EQ(combiner.Combine("http://host/dir/p.html", std::string(3000, 'n')), std::nullopt);
    const std::string longName(1500, 'n');
    EXPECT_EQ(combiner.Combine("http://host/dir/p.html", longName), "http://host/dir/" + longName);
}

TEST(UrlMonDownloader, CopiesALocalFileByItsFileUrlAndByItsPath) {
    TempFolder temp;
    const std::string source = temp.MakeFile("site/img/a.gif", "local image");
    win32::UrlMonDownloader downloader;

    std::string fileUrl = "file:///" + source;
    for (char& c : fileUrl) {
        if (c == '\\') {
            c = '/';
        }
    }
    EXPECT_TRUE(downloader.Download(fileUrl, temp.Path("by-url.gif")));
    EXPECT_EQ(temp.Read("by-url.gif"), "local image");

    EXPECT_TRUE(downloader.Download(source, temp.Path("by-path.gif")));
    EXPECT_EQ(temp.Read("by-path.gif"), "local image");

    EXPECT_FALSE(downloader.Download(temp.Path("site/none.gif"), temp.Path("none.gif")));
    EXPECT_FALSE(temp.Exists("none.gif"));
}

}  // namespace
}  // namespace wisp::test
