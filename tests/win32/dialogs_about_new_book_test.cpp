#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ModalScript.h"
#include "QXWispModule.h"
#include "win32/dialogs/AboutDlg.h"
#include "win32/dialogs/NewBookDlg.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::test {
namespace {

using win32::CAboutDlg;
using win32::CNewBookDlg;

constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

// Sets the browser's link colour for one test (nullopt removes it) and puts back what was
// there before.
class AnchorColorSetting {
public:
    explicit AnchorColorSetting(const wchar_t* name) : name_(name) {
        wchar_t old[64] = {};
        DWORD bytes = sizeof(old);
        if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name_, RRF_RT_REG_SZ, nullptr, old,
                           &bytes) == ERROR_SUCCESS) {
            old_ = old;
        }
    }
    ~AnchorColorSetting() { Set(old_); }

    void Set(const std::optional<std::wstring>& value) {
        if (value) {
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name_, REG_SZ, value->c_str(),
                              static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
        } else {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name_);
        }
    }

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// Whether any pixel of the control's client area, as drawn now, has the colour.
bool Shows(HWND control, COLORREF colour) {
    ::UpdateWindow(control);
    RECT client{};
    ::GetClientRect(control, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(control);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP picture = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    bool found = false;
    const auto* pixels = static_cast<const DWORD*>(bits);
    DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (LONG i = 0; i < client.right * client.bottom && !found; ++i) {
        found = (pixels[i] & 0xFFFFFF) == wanted;
    }
    ::SelectObject(memory, old);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(control, screen);
    return found;
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Loaded()) << "cannot load QXWisp.DLL"; }

    void ExpectFinished() {
        EXPECT_FALSE(script.TimedOut()) << "stalled at step " << script.NextStep();
        EXPECT_TRUE(script.Finished());
    }

    QXWispModule module;
    ModalScript script;
    HWND dialog = nullptr;
};

TEST_F(DialogsTest, NewBookRefusesAnEmptyNameAndReturnsOneOfSpacesAsTyped) {
    CNewBookDlg newBook;
    script.WaitFor([&] { return (dialog = FindDialog(L"New Book")) != nullptr; })
        .Do([&] { PostClick(dialog, IDOK); })
        .WaitFor([&] { return FindDialog(L"Wisp", dialog) != nullptr; })
        .Do([&] {
            HWND box = FindDialog(L"Wisp", dialog);
            EXPECT_EQ(MessageBoxText(box), L"The book name can not empty!");
            PostClick(box, IDOK);
        })
        .WaitFor([&] { return !FindDialog(L"Wisp", dialog); })
        .Do([&] {
            EXPECT_TRUE(::IsWindowVisible(dialog));
            ::SetDlgItemTextW(dialog, IDC_NEW_BOOK_NAME, L"   ");
            PostClick(dialog, IDOK);
        });
    EXPECT_EQ(script.Run([&] { return newBook.DoModal(module.Handle(), nullptr); }), IDOK);
    ExpectFinished();
    EXPECT_EQ(newBook.BookName(), "   ");
}

TEST_F(DialogsTest, AboutLinksTakeTheBrowsersColourAndSpaceOrEnterOpensTheFocusedOne) {
    constexpr COLORREF kGreen = RGB(0, 128, 0);
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    constexpr COLORREF kPurple = RGB(128, 0, 128);
    AnchorColorSetting link(L"Anchor Color");
    AnchorColorSetting visited(L"Anchor Color Visited");
    link.Set(L"0,128,0");
    visited.Set(std::nullopt);

    std::vector<std::string> opened;
    CAboutDlg about;
    // The mail link cannot be opened here: it stays unvisited.
    about.SetLinkOpener([&](HWND, std::string_view target) {
        opened.emplace_back(target);
        return target.substr(0, 7) != "mailto:";
    });
    auto link209 = [&] { return ::GetDlgItem(dialog, IDC_COMPANY_LINK); };
    auto link210 = [&] { return ::GetDlgItem(dialog, IDC_PRODUCT_LINK); };
    auto link211 = [&] { return ::GetDlgItem(dialog, IDC_SUPPORT_LINK); };
    script.WaitFor([&] { return (dialog = FindDialog(L"About")) != nullptr; })
        .Do([&] {
            EXPECT_TRUE(Shows(link209(), kGreen));
            EXPECT_FALSE(Shows(link209(), kBlue));
            EXPECT_EQ(::GetFocus(), link209());
            PostKey(link209(), VK_TAB);
        })
        .WaitFor([&] { return ::GetFocus() == link210(); })
        .Do([&] { PostKey(link210(), VK_SPACE); })
        .WaitFor([&] { return !opened.empty(); })
        .Do([&] {
            EXPECT_TRUE(Shows(link210(), kPurple));
            EXPECT_FALSE(Shows(link210(), kGreen));
            EXPECT_TRUE(Shows(link209(), kGreen));
            PostKey(link210(), VK_TAB);
        })
        .WaitFor([&] { return ::GetFocus() == link211(); })
        .Do([&] { PostKey(link211(), VK_RETURN); })  // Enter, not the OK button
        .WaitFor([&] { return opened.size() == 2; })
        .Do([&] {
            EXPECT_TRUE(Shows(link211(), kGreen));
            EXPECT_FALSE(Shows(link211(), kPurple));
            EXPECT_EQ(TextOf(link211()), L"help@wisp.example.org");
            // A press and a release on the link open it too.
            ::SendMessageW(link209(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            EXPECT_EQ(::GetCapture(), link209());
            ::SendMessageW(link209(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            EXPECT_EQ(::GetCapture(), nullptr);
            PostClick(dialog, IDOK);
        });
    EXPECT_EQ(script.Run([&] { return about.DoModal(module.Handle(), nullptr); }), IDOK);
    ExpectFinished();
    EXPECT_EQ(opened, (std::vector<std::string>{"http://wisp.example.org/guide",
                                                "mailto:help@wisp.example.org",
                                                "http://wisp.example.org"}));
}

}  // namespace
}  // namespace wisp::test
