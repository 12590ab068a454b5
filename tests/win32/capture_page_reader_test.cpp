#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "QXWispModule.h"
#include "StandInDocument.h"
#include "core/capture/PageComposition.h"
#include "win32/capture/DownloadDlg.h"
#include "win32/capture/HtmlDocumentPageSource.h"

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

}  // namespace
}  // namespace wisp::test
