// The bar's window through the real DLL: toolbar, tooltips, drop-down and context menus, the
// book list, the content tree and the commands, with a stand-in site, browser and document.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>
#include <objbase.h>
#include <ocidl.h>
#include <shobjidl.h>

#include <wrl/client.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ModalScript.h"
#include "QXWispModule.h"
#include "StandInDataObject.h"
#include "StandInDocument.h"
#include "StandInSite.h"
#include "TreeItems.h"
#include "core/library/TreeCommands.h"
#include "support/OriginRecord.h"
#include "support/TempFolder.h"
#include "win32/platform/WideString.h"

using Microsoft::WRL::ComPtr;
using wisp::win32::Utf8ToWide;

namespace wisp::test {
namespace {

constexpr int kTree = 201;
constexpr int kBookList = 202;
constexpr int kTab = 203;
constexpr int kNewMenu = 32772;
constexpr int kHelpMenu = 32770;
constexpr int kPaste = 32791;
constexpr int kBuild = 32775;
constexpr int kEditHtmlPage = 32769;
constexpr int kSave = 57603;
constexpr int kBookManagement = 32774;
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
constexpr GUID kMshtmlGroup = {
    0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

void SetSetting(HKEY hive, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    ::RegSetKeyValueW(hive, key, name, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring ReadSetting(HKEY hive, const wchar_t* key, const wchar_t* name) {
    wchar_t value[300] = {};
    DWORD size = sizeof(value);
    ::RegGetValueW(hive, key, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

// One entry of a menu as the reader sees it; a separator is "-".
struct MenuEntry {
    std::wstring text;
    bool grayed;
    bool operator==(const MenuEntry&) const = default;
};

void PrintTo(const MenuEntry& entry, std::ostream* out) {
    *out << std::string(entry.text.begin(), entry.text.end()) << (entry.grayed ? " (grayed)" : "");
}

std::vector<MenuEntry> openMenu;
bool menuSeen = false;

// Runs inside the menu's own loop: reads the shown menu and ends it, so no menu can stay open.
void CALLBACK ReadAndEndMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    auto menu =
        popup ? reinterpret_cast<HMENU>(::SendMessageW(popup, kGetMenuHandle, 0, 0)) : nullptr;
    if (menu && !menuSeen) {
        menuSeen = true;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
            wchar_t text[64] = {};
            ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            bool separator = (state & MF_SEPARATOR) != 0;
            openMenu.push_back({separator ? L"-" : text, !separator && (state & MF_GRAYED)});
        }
    }
    ::EndMenu();
}

// Sends `message` to `window` and gives back what the menu it opened showed.
std::vector<MenuEntry> MenuShownBy(HWND timerWindow, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    openMenu.clear();
    menuSeen = false;
    UINT_PTR timer = ::SetTimer(timerWindow, 77, 50, ReadAndEndMenu);
    ::SendMessageW(window, message, wParam, lParam);
    ::KillTimer(timerWindow, timer);
    return openMenu;
}

// A named callback: the enumeration calls it with the platform's calling convention.
// OLE for the thread, as the browser has it: the clipboard and drag and drop need it.
class OleSession {
public:
    OleSession() : result_(::OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(result_)) {
            ::OleUninitialize();
        }
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool Ready() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

BOOL CALLBACK FindToolbar(HWND child, LPARAM result) {
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (std::wstring(name) == TOOLBARCLASSNAMEW) {
        *reinterpret_cast<HWND*>(result) = child;
        return FALSE;
    }
    return TRUE;
}

class BarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ole.Ready() && module.Loaded()) << "no OLE or no QXWisp.DLL";
        library.MakeFile("Alpha/Intro/News.htm", "<html></html>");
        library.MakeFile("Alpha/a.htm", "<html></html>");
        library.MakeFile("Beta/b.htm", "<html></html>");
        SetSetting(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath", Utf8ToWide(library.Path()));
        SetSetting(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName", L"Beta");
        frame = ::CreateWindowExW(0, L"STATIC", L"bar frame", WS_OVERLAPPEDWINDOW, 0, 0, 400, 700,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame);
        site.window = frame;
        site.browser = &browser;
        ASSERT_EQ(module.CreateInstance(CLSID_Wisp, nullptr, IID_PPV_ARGS(&band)), S_OK);
        ASSERT_EQ(band.As(&withSite), S_OK);
    }
    void TearDown() override {
        if (band) {
            band->CloseDW(0);
            withSite->SetSite(nullptr);
        }
        withSite.Reset();
        band.Reset();
        if (frame) {
            ::DestroyWindow(frame);
        }
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath");
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName");
    }

    HWND Open() {
        EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
        HWND window = nullptr;
        band->GetWindow(&window);
        ::ShowWindow(frame, SW_SHOW);
        band->ShowDW(TRUE);
        return window;
    }
    // The toolbar, wherever below the window it sits; null when there is none.
    HWND Toolbar(HWND window) {
        HWND found = nullptr;
        ::EnumChildWindows(window, FindToolbar, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    HWND Tree(HWND window) { return ::GetDlgItem(window, kTree); }

    void Select(HWND tree, HTREEITEM item) {
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    LPARAM LabelCentre(HWND tree, HTREEITEM item) {
        // The message takes the item in the rectangle's place and gives the rectangle back.
        union {
            RECT rect;
            HTREEITEM item;
        } data{};
        data.item = item;
        ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&data));
        RECT rect = data.rect;
        return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void Command(HWND window, int id, int notification = 0, HWND control = nullptr) {
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, notification),
                       reinterpret_cast<LPARAM>(control));
    }
    std::wstring Path(const char* relative) { return Utf8ToWide(library.Path(relative)); }

    OleSession ole;
    QXWispModule module;
    TempFolder library;
    HWND frame = nullptr;
    StandInBrowser browser;
    StandInSite site;
    ComPtr<IDeskBand> band;
    ComPtr<IObjectWithSite> withSite;
};

TEST_F(BarTest, NewBarsToolbarStatesTooltipsAndDropDownMenus) {
    HWND window = Open();
    HWND toolbar = Toolbar(window);
    ASSERT_TRUE(toolbar) << "the toolbar sits in a rebar";
    EXPECT_FALSE(::SendMessageW(toolbar, TB_ISBUTTONCHECKED, kEditHtmlPage, 0));
    EXPECT_FALSE(::SendMessageW(toolbar, TB_ISBUTTONENABLED, kSave, 0));
    EXPECT_TRUE(::SendMessageW(toolbar, TB_ISBUTTONENABLED, kPaste, 0));

    // Tooltips: the text after the line break, in both forms; none without a line break.
    NMTTDISPINFOW wide{};
    wide.hdr = {toolbar, static_cast<UINT_PTR>(kPaste), TTN_GETDISPINFOW};
    ::SendMessageW(window, WM_NOTIFY, kPaste, reinterpret_cast<LPARAM>(&wide));
    EXPECT_EQ(std::wstring(wide.lpszText), L"Paste");
    EXPECT_TRUE(wide.uFlags & TTF_DI_SETITEM);
    NMTTDISPINFOA ansi{};
    ansi.hdr = {toolbar, static_cast<UINT_PTR>(kNewMenu), TTN_GETDISPINFOA};
    ::SendMessageW(window, WM_NOTIFY, kNewMenu, reinterpret_cast<LPARAM>(&ansi));
    EXPECT_EQ(std::string(ansi.lpszText), "New Book or New Folder");
    NMTTDISPINFOW noBreak{};
    noBreak.hdr = {toolbar, 57699, TTN_GETDISPINFOW};
    wcscpy(noBreak.szText, L"stale");
    ::SendMessageW(window, WM_NOTIFY, 57699, reinterpret_cast<LPARAM>(&noBreak));
    EXPECT_EQ(std::wstring(noBreak.szText), L"");

    // The drop-down buttons open their menus and stay drop-down after hiding and showing.
    auto style = [&](int id) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_STYLE;
        ::SendMessageW(toolbar, TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
        return info.fsStyle;
    };
    for (int id : {kNewMenu, kHelpMenu}) {
        TBBUTTONINFOW plain{};
        plain.cbSize = sizeof(plain);
        plain.dwMask = TBIF_STYLE;
        plain.fsStyle = BTNS_BUTTON;
        ::SendMessageW(toolbar, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&plain));
    }
    band->ShowDW(FALSE);
    EXPECT_TRUE(style(kNewMenu) & BTNS_WHOLEDROPDOWN);
    EXPECT_TRUE(style(kHelpMenu) & BTNS_WHOLEDROPDOWN);
    EXPECT_FALSE(style(kPaste) & (BTNS_WHOLEDROPDOWN | BTNS_DROPDOWN));
    band->ShowDW(TRUE);
    EXPECT_TRUE(style(kHelpMenu) & BTNS_WHOLEDROPDOWN);

    NMTOOLBARW dropDown{};
    dropDown.hdr = {toolbar, 0xE800, static_cast<UINT>(TBN_DROPDOWN)};
    dropDown.iItem = kHelpMenu;
    EXPECT_EQ(
        MenuShownBy(frame, window, WM_NOTIFY, 0xE800, reinterpret_cast<LPARAM>(&dropDown)),
        (std::vector<MenuEntry>{{L"Contents", false}, {L"-", false}, {L"About Wisp", false}}));
    dropDown.iItem = kNewMenu;
    EXPECT_EQ(MenuShownBy(frame, window, WM_NOTIFY, 0xE800, reinterpret_cast<LPARAM>(&dropDown)),
              (std::vector<MenuEntry>{{L"New Book", false}, {L"New Folder", false}}));
    dropDown.iItem = kPaste;
    EXPECT_TRUE(
        MenuShownBy(frame, window, WM_NOTIFY, 0xE800, reinterpret_cast<LPARAM>(&dropDown)).empty());
}

TEST_F(BarTest, ResizingStretchesTheBookListInWidthAndTheTabAndTreeInBoth) {
    HWND window = Open();
    auto rectOf = [&](int id) {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(window, id), &rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    RECT before[] = {rectOf(kBookList), rectOf(kTab), rectOf(kTree)};
    RECT client{};
    ::GetClientRect(window, &client);
    ::SetWindowPos(window, nullptr, 0, 0, client.right + 40, client.bottom + 100,
                   SWP_NOMOVE | SWP_NOZORDER);
    int id[] = {kBookList, kTab, kTree};
    for (int i = 0; i < 3; ++i) {
        RECT after = rectOf(id[i]);
        EXPECT_EQ(after.left, before[i].left) << id[i];
        EXPECT_EQ(after.top, before[i].top) << id[i];
        EXPECT_EQ(after.right, before[i].right + 40) << id[i];
        EXPECT_EQ(after.bottom, before[i].bottom + (id[i] == kBookList ? 0 : 100)) << id[i];
    }
}

TEST_F(BarTest, TreeShowsTheCurrentBookOpensPagesAndFollowsTheBookList) {
    HWND window = Open();
    HWND tree = Tree(window);
    HWND list = ::GetDlgItem(window, kBookList);
    ASSERT_EQ(Label(tree, Top(tree)), L"Beta");
    EXPECT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 2);

    HTREEITEM page = Child(tree, Top(tree), L"b.htm");
    ASSERT_TRUE(page);
    Select(tree, page);
    ASSERT_FALSE(browser.navigations.empty());
    EXPECT_EQ(browser.navigations.back(), Path("Beta/b.htm"));

    // A notification other than a selection change is not a book choice.
    LRESULT alpha =
        ::SendMessageW(list, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Alpha"));
    ::SendMessageW(list, CB_SETCURSEL, alpha, 0);
    Command(window, kBookList, CBN_DROPDOWN, list);
    EXPECT_EQ(Label(tree, Top(tree)), L"Beta");
    Select(tree, page);
    Command(window, kBookList, CBN_SELCHANGE, list);
    ASSERT_EQ(Label(tree, Top(tree)), L"Alpha");
    EXPECT_EQ(browser.navigations.back(), L"about:blank") << "the shown page's item went away";
    EXPECT_EQ(ReadSetting(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName"), L"Alpha");

    // A chapter is read on its first opening.
    HTREEITEM intro = Child(tree, Top(tree), L"Intro");
    ASSERT_TRUE(intro);
    EXPECT_EQ(Next(tree, intro, TVGN_CHILD), nullptr);
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(intro));
    HTREEITEM news = Child(tree, intro, L"News.htm");
    ASSERT_TRUE(news);
    Select(tree, news);
    EXPECT_EQ(browser.navigations.back(), Path("Alpha/Intro/News.htm"));
}

TEST_F(BarTest, NewFolderFromTheBandIsNamedByItsLabelEdit) {
    HWND window = Open();
    HWND tree = Tree(window);
    Select(tree, Child(tree, Top(tree), L"b.htm"));
    Command(window, 32771);  // New Folder, as the New menu sends it
    HTREEITEM created = Next(tree, Top(tree), TVGN_CHILD);
    ASSERT_EQ(Label(tree, created), L"New Folder") << "the first child of the page's folder";
    EXPECT_TRUE(library.Exists("Beta/New Folder"));

    auto edit = reinterpret_cast<HWND>(::SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_TRUE(edit) << "the new folder's label is being edited";
    ::SetWindowTextW(edit, L"Chapter");
    ::SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_EQ(Label(tree, created), L"Chapter");
    EXPECT_TRUE(library.Exists("Beta/Chapter"));
    EXPECT_FALSE(library.Exists("Beta/New Folder"));
}

TEST_F(BarTest, AnInvalidNameIsRefusedAndTheEditStartsAgain) {
    HWND window = Open();
    HWND tree = Tree(window);
    HTREEITEM page = Child(tree, Top(tree), L"b.htm");
    ASSERT_TRUE(page);
    Select(tree, page);
    Command(window, 32779);  // Rename, which the band passes on to the tree
    auto edit = reinterpret_cast<HWND>(::SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_TRUE(edit);
    ::SetWindowTextW(edit, L"a:b");

    ModalScript script;
    HWND box = nullptr;
    std::wstring text;
    script.WaitFor([&] { return (box = FindDialog(L"Error")) != nullptr; }).Do([&] {
        text = MessageBoxText(box);
        PostClick(box, IDOK);
    });
    script.Run([&] { return ::SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0); });
    EXPECT_TRUE(script.Finished() && !script.TimedOut());
    EXPECT_FALSE(FindDialog(L"Error")) << "one box for one refused name";
    EXPECT_EQ(text, L"The filename include invalid letter!  eg: \\/:*?\"<>|");

    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    EXPECT_TRUE(::SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0)) << "editing again";
    EXPECT_EQ(Label(tree, page), L"b.htm");
    EXPECT_TRUE(library.Exists("Beta/b.htm"));
}

TEST_F(BarTest, ARenamedPageTakesItsFilesAlong) {
    library.MakeFile("Beta/b.files/pic.png", "png");
    HWND window = Open();
    HWND tree = Tree(window);
    HTREEITEM page = Child(tree, Top(tree), L"b.htm");
    ASSERT_TRUE(page);
    Select(tree, page);
    Command(window, 32779);
    auto edit = reinterpret_cast<HWND>(::SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_TRUE(edit);
    ::SetWindowTextW(edit, L"Renamed");
    ::SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_EQ(Label(tree, page), L"Renamed.htm");
    EXPECT_TRUE(library.Exists("Beta/Renamed.htm"));
    EXPECT_EQ(library.Read("Beta/Renamed.files/pic.png"), "png");
    EXPECT_FALSE(library.Exists("Beta/b.files"));
}

// Which entries are grayed for which hit is the core's rule; here the tree's own hit test and
// menu reach it, for an item and for empty space.
TEST_F(BarTest, ContextMenuGraysByWhatTheRightClickHit) {
    HWND window = Open();
    HWND tree = Tree(window);
    ASSERT_TRUE(::CreateDirectoryW(Path("Beta/Part").c_str(), nullptr));
    Command(window, 32768);  // Refresh lists the new folder
    ASSERT_TRUE(Child(tree, Top(tree), L"Part"));
    HTREEITEM page = Child(tree, Top(tree), L"b.htm");
    ASSERT_TRUE(page);

    auto grayed = [&](LPARAM point) {
        std::vector<std::wstring> names;
        for (const MenuEntry& entry : MenuShownBy(frame, tree, WM_RBUTTONUP, 0, point)) {
            if (entry.grayed) {
                names.push_back(entry.text);
            }
        }
        return names;
    };
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(grayed(LabelCentre(tree, page)),
              (Names{L"New Folder", L"Delete Folder", L"Build My eBook"}));
    EXPECT_EQ(Next(tree, nullptr, TVGN_CARET), page) << "the right click selected it";
    ASSERT_FALSE(browser.navigations.empty()) << "the page is shown first";
    EXPECT_EQ(browser.navigations.back(), Path("Beta/b.htm"));

    RECT client{};
    ::GetClientRect(tree, &client);
    EXPECT_EQ(grayed(MAKELPARAM(5, client.bottom - 5)),
              (Names{L"&Edit the Page", L"Rename", L"Paste", L"New Folder", L"Delete Folder",
                     L"Delete Page", L"Build My eBook"}));
    EXPECT_EQ(Next(tree, nullptr, TVGN_CARET), page) << "empty space leaves the selection";
}

TEST_F(BarTest, EditHtmlPageSwitchesTheDocumentAndTheToolbarAndSaveAsksTheDocument) {
    StandInDocument document;
    browser.document = static_cast<IHTMLDocument2*>(&document);
    HWND window = Open();
    HWND toolbar = Toolbar(window);

    Command(window, kEditHtmlPage);
    EXPECT_EQ(document.designModes, (std::vector<std::wstring>{L"on"}));
    EXPECT_TRUE(::SendMessageW(toolbar, TB_ISBUTTONCHECKED, kEditHtmlPage, 0));
    EXPECT_TRUE(::SendMessageW(toolbar, TB_ISBUTTONENABLED, kSave, 0));

    Command(window, kSave, 0, toolbar);
    ASSERT_EQ(document.commands.size(), 1u);
    EXPECT_TRUE(IsEqualGUID(document.commands[0].group, kMshtmlGroup));
    EXPECT_EQ(document.commands[0].id, 70u);
    EXPECT_EQ(document.commands[0].option, 0u);

    Command(window, kEditHtmlPage);
    EXPECT_EQ(document.designModes, (std::vector<std::wstring>{L"on", L"off"}));
    EXPECT_FALSE(::SendMessageW(toolbar, TB_ISBUTTONCHECKED, kEditHtmlPage, 0));
    EXPECT_FALSE(::SendMessageW(toolbar, TB_ISBUTTONENABLED, kSave, 0));

    // A document that is not HTML changes nothing; Save without a command target does nothing.
    StandInPlainDocument plain;
    browser.document = &plain;
    Command(window, kEditHtmlPage);
    EXPECT_FALSE(::SendMessageW(toolbar, TB_ISBUTTONCHECKED, kEditHtmlPage, 0));
    EXPECT_EQ(plain.references, 1u) << "every reference given back";
    browser.document = static_cast<IHTMLDocument2*>(&document);
    document.offersCommandTarget = false;
    Command(window, kSave, 0, toolbar);
    EXPECT_EQ(document.commands.size(), 1u);
    EXPECT_EQ(document.references, 1u);
}

TEST_F(BarTest, WithoutABrowserTheTreeAndDocumentCommandsOpenNothing) {
    site.browser = nullptr;
    HWND window = Open();
    HWND tree = Tree(window);
    HWND toolbar = Toolbar(window);
    HTREEITEM page = Child(tree, Top(tree), L"b.htm");
    ASSERT_TRUE(page);
    Select(tree, page);
    EXPECT_EQ(Next(tree, nullptr, TVGN_CARET), page);
    Command(window, kEditHtmlPage);
    EXPECT_FALSE(::SendMessageW(toolbar, TB_ISBUTTONCHECKED, kEditHtmlPage, 0));
    Command(window, kSave);
    EXPECT_TRUE(browser.navigations.empty());
}

TEST_F(BarTest, NewBookAndBookManagementReachTheBookList) {
    HWND window = Open();
    HWND tree = Tree(window);
    HWND list = ::GetDlgItem(window, kBookList);

    ModalScript newBook;
    HWND dialog = nullptr;
    newBook.WaitFor([&] { return (dialog = FindDialog(L"New Book")) != nullptr; }).Do([&] {
        ::SetDlgItemTextW(dialog, 202, L"Travel");
        PostClick(dialog, IDOK);
    });
    newBook.Run([&] {
        Command(window, 32776);
        return 0;
    });
    EXPECT_TRUE(newBook.Finished() && !newBook.TimedOut());
    EXPECT_EQ(Label(tree, Top(tree)), L"Travel");
    EXPECT_TRUE(library.Exists("Travel"));
    EXPECT_EQ(ReadSetting(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName"), L"Travel");

    // Closing Book Management takes its root: the list is read anew from it.
    library.MakeFolder("Gamma");
    ModalScript management;
    management.WaitFor([&] { return (dialog = FindDialog(L"Book Management")) != nullptr; })
        .Do([&] { PostClick(dialog, 220); });
    management.Run([&] {
        Command(window, kBookManagement);
        return 0;
    });
    EXPECT_TRUE(management.Finished() && !management.TimedOut());
    EXPECT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath"),
              Utf8ToWide(library.Path()));

    ModalScript about;
    about.WaitFor([&] { return (dialog = FindDialog(L"About")) != nullptr; }).Do([&] {
        PostClick(dialog, IDOK);
    });
    about.Run([&] {
        Command(window, 32785);
        return 0;
    });
    EXPECT_TRUE(about.Finished() && !about.TimedOut());
}

// Puts text on the clipboard in one format, as a browser's copy does.
void PutOnClipboard(UINT format, const std::string& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(::GlobalLock(memory), text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory);
    ::SetClipboardData(format, memory);
    ::CloseClipboard();
}

const std::string kNotesHtml =
    "Version:1.0\r\nStartHTML:0\r\nSourceURL:http://127.0.0.1:1/news/weekly.html\r\n"
    "<HTML><HEAD><TITLE>Weekly Notes</TITLE></HEAD><BODY><IMG src=\"pic.png\"></BODY></HTML>";

TEST_F(BarTest, PasteSavesClipboardHtmlIntoTheSelectedItemsFolder) {
    HWND window = Open();
    HWND tree = Tree(window);
    const UINT html = ::RegisterClipboardFormatW(L"HTML Format");

    // Without HTML on the clipboard nothing is added.
    PutOnClipboard(CF_TEXT, "plain words");
    Select(tree, Child(tree, Top(tree), L"b.htm"));
    Command(window, kPaste);
    EXPECT_EQ(Label(tree, Next(tree, Top(tree), TVGN_CHILD)), L"b.htm");

    PutOnClipboard(html, kNotesHtml);
    Command(window, kPaste);
    HTREEITEM pasted = Next(tree, Top(tree), TVGN_CHILD);
    EXPECT_EQ(Label(tree, pasted), L"Weekly Notes.htm");
    EXPECT_EQ(Next(tree, nullptr, TVGN_CARET), pasted);
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Beta/Weekly Notes.htm"),
                                        "http://127.0.0.1:1/news/weekly.html"),
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
              "<HTML><HEAD><TITLE>Weekly Notes</TITLE></HEAD><BODY>"
              // Nothing answers on port 1: the picture keeps its address.
              "<IMG src=\"http://127.0.0.1:1/news/pic.png\"></BODY></HTML>");

    // The tree's own Paste entry comes back to the bar as its paste request: the same page
    // again, into the pasted page's folder, replacing the first with its files as a whole.
    library.MakeFile("Beta/Weekly Notes.files/stale.png", "left from the first");
    ::SendMessageW(window, WM_USER + 100, 0, 0);
    HTREEITEM again = Next(tree, Top(tree), TVGN_CHILD);
    EXPECT_NE(again, pasted);
    EXPECT_EQ(Label(tree, again), L"Weekly Notes.htm");
    EXPECT_FALSE(library.Exists("Beta/Weekly Notes.files/stale.png"));
}

TEST_F(BarTest, DropOntoAFolderAddsAPageThatTheReaderNames) {
    library.MakeFile("Beta/Ch/c.htm", "<html></html>");
    HWND window = Open();
    HWND tree = Tree(window);
    // What RegisterDragDrop keeps for the tree window: the target OLE's drag loop calls.
    auto* target = static_cast<IDropTarget*>(::GetPropW(tree, L"OleDropTargetInterface"));
    ASSERT_TRUE(target) << "the tree has a registered drop target";

    StandInDataObject text(CF_TEXT, "plain words");
    StandInDataObject notes(static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"HTML Format")),
                            kNotesHtml);
    // The book's item, selected as a new bar has it, receives the drop.
    ASSERT_EQ(Next(tree, nullptr, TVGN_CARET), Top(tree));
    LPARAM centre = LabelCentre(tree, Top(tree));
    POINT screen{GET_X_LPARAM(centre), GET_Y_LPARAM(centre)};
    ::ClientToScreen(tree, &screen);
    POINTL at{screen.x, screen.y};

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&text, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "no HTML, no drop";
    target->DragLeave();

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(&notes, MK_LBUTTON, at, &effect);
    // Hovering over a closed folder highlights it and opens it when the hover timer fires.
    HTREEITEM chapter = Child(tree, Top(tree), L"Ch");
    ASSERT_TRUE(chapter);
    LPARAM onChapter = LabelCentre(tree, chapter);
    POINT overChapter{GET_X_LPARAM(onChapter), GET_Y_LPARAM(onChapter)};
    ::ClientToScreen(tree, &overChapter);
    target->DragOver(MK_LBUTTON, POINTL{overChapter.x, overChapter.y}, &effect);
    EXPECT_EQ(Next(tree, nullptr, TVGN_DROPHILITE), chapter);
    const DWORD deadline = ::GetTickCount() + 10000;
    while (!Child(tree, chapter, L"c.htm") && ::GetTickCount() < deadline) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::Sleep(50);
    }
    EXPECT_TRUE(Child(tree, chapter, L"c.htm")) << "the hovered folder was opened";
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

    EXPECT_EQ(target->Drop(&notes, 0, at, &effect), S_OK);
    HTREEITEM dropped = Next(tree, Top(tree), TVGN_CHILD);
    EXPECT_EQ(Label(tree, dropped), L"Weekly Notes");
    ASSERT_TRUE(::SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0)) << "the new page is being named";
    EXPECT_FALSE(library.Exists("Beta/Weekly Notes.htm"));

    // Esc: the page keeps its title.
    ::SendMessageW(tree, TVM_ENDEDITLABELNOW, TRUE, 0);
    EXPECT_EQ(Label(tree, dropped), L"Weekly Notes.htm");
    EXPECT_TRUE(library.Exists("Beta/Weekly Notes.htm"));
}

// Deleting through the bar: a page with its companion folder, a folder whole, and never the
// book's own folder or a page by the folder command, whatever sends the command.
TEST_F(BarTest, DeleteTakesAPageWithItsFilesAndAFolderButNeverTheBook) {
    library.MakeFile("Beta/b.files/pic.png", "png");
    library.MakeFile("Beta/Ch/c.htm", "<html></html>");
    HWND window = Open();
    HWND tree = Tree(window);
    Select(tree, Top(tree));
    Command(window, kDeleteFolderCommand);
    HTREEITEM page = Child(tree, Top(tree), L"b.htm");
    ASSERT_TRUE(page);
    Select(tree, page);
    Command(window, kDeleteFolderCommand);
    EXPECT_TRUE(library.Exists("Beta/b.htm"));

    Command(window, kDeletePageCommand);
    EXPECT_FALSE(library.Exists("Beta/b.htm"));
    EXPECT_FALSE(library.Exists("Beta/b.files"));
    EXPECT_FALSE(Child(tree, Top(tree), L"b.htm"));
    EXPECT_EQ(browser.navigations.back(), L"about:blank") << "the shown page went away";

    Select(tree, Child(tree, Top(tree), L"Ch"));
    Command(window, kDeleteFolderCommand);
    EXPECT_FALSE(library.Exists("Beta/Ch"));
    EXPECT_EQ(Next(tree, Top(tree), TVGN_CHILD), nullptr);
    EXPECT_TRUE(library.Exists("Beta"));
}

TEST_F(BarTest, BuildAsksForTheFileAndSaysSoWhenTheCompilerIsMissing) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    if (::GetFileAttributesW((std::wstring(system) + L"\\hhc.exe").c_str()) !=
        INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "this machine has the help compiler";
    }
    HWND window = Open();
    HWND tree = Tree(window);
    Select(tree, Top(tree));
    std::wstring chm = Path("Beta.chm");
    std::wstring message;
    ModalScript script;
    script.WaitFor([] { return FindDialog(L"Save As") != nullptr; })
        .Do([&] {
            HWND dialog = FindDialog(L"Save As");
            // The file name field: an edit field or a combo box, by the dialog's version.
            ::SetDlgItemTextW(dialog, 0x480, chm.c_str());
            ::SetDlgItemTextW(dialog, 0x47C, chm.c_str());
            PostClick(dialog, IDOK);
        })
        .WaitFor([] { return FindDialog(L"Wisp") != nullptr; })
        .Do([&] {
            HWND box = FindDialog(L"Wisp");
            message = MessageBoxText(box);
            PostClick(box, IDOK);
        });
    script.Run([&] {
        Command(window, kBuild);
        return 0;
    });
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.NextStep();
    EXPECT_NE(message.find(L"hhc.exe"), std::wstring::npos);
    EXPECT_FALSE(library.Exists("Beta.chm")) << "no empty compiled file";
    EXPECT_FALSE(library.Exists("Beta/Project.hhp"));
}

}  // namespace
}  // namespace wisp::test
