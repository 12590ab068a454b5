#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <shobjidl.h>
#include <commctrl.h>

#include <wrl/client.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "QXWispModule.h"
#include "StandInSite.h"

using Microsoft::WRL::ComPtr;

namespace wisp::test {
namespace {

// Its own visible style; IsWindowVisible would also ask the (hidden) frame.
bool ShownItself(HWND window) {
    return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

class BandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.Loaded()) << "cannot load QXWisp.DLL";
        frame = ::CreateWindowExW(0, L"STATIC", L"bar frame", WS_OVERLAPPEDWINDOW, 0, 0, 400, 600,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame);
        site.window = frame;
        site.browser = &browser;
        ASSERT_EQ(module.CreateInstance(CLSID_Wisp, nullptr, IID_PPV_ARGS(&band)), S_OK);
        ASSERT_EQ(band.As(&withSite), S_OK);
        ASSERT_EQ(band.As(&inputObject), S_OK);
    }
    void TearDown() override {
        inputObject.Reset();
        withSite.Reset();
        band.Reset();
        if (frame) {
            ::DestroyWindow(frame);
        }
    }

    HWND BandWindow() {
        HWND window = nullptr;
        EXPECT_EQ(band->GetWindow(&window), S_OK);
        return window;
    }

    ComApartment apartment;
    QXWispModule module;
    HWND frame = nullptr;
    StandInBrowser browser;
    StandInSite site;
    ComPtr<IDeskBand> band;
    ComPtr<IObjectWithSite> withSite;
    ComPtr<IInputObject> inputObject;
};

TEST_F(BandTest, BandInfoFillsTheAskedFieldsAndDropsTheBackgroundBit) {
    EXPECT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_VERTICAL, nullptr), S_OK);

    DESKBANDINFO info{};
    info.dwMask = 0x7F;
    ASSERT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_VERTICAL, &info), S_OK);
    EXPECT_EQ(info.dwMask, 0x3Fu);
    EXPECT_EQ(info.ptMaxSize.y, -1) << "the bar takes any height";
    EXPECT_EQ(std::wstring(info.wszTitle), L"Wisp");

    // Only the asked fields change; the mask comes back without the background bit.
    struct Case {
        DWORD mask;
        DWORD maskAfter;
        bool titleWritten;
        bool modeFlagsWritten;
    } cases[] = {
        {0, 0, false, false},
        {DBIM_BKCOLOR, 0, false, false},
        {DBIM_BKCOLOR | DBIM_MODEFLAGS, DBIM_MODEFLAGS, false, true},
        {DBIM_TITLE, DBIM_TITLE, true, false},
        {DBIM_MINSIZE | DBIM_ACTUAL, DBIM_MINSIZE | DBIM_ACTUAL, false, false},
    };
    for (const Case& c : cases) {
        DESKBANDINFO untouched{};
        untouched.ptMaxSize = {7, 7};
        untouched.dwModeFlags = 0x100;
        untouched.wszTitle[0] = L'?';
        untouched.dwMask = c.mask;
        ASSERT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_VERTICAL, &untouched), S_OK);
        EXPECT_EQ(untouched.dwMask, c.maskAfter) << c.mask;
        EXPECT_EQ(untouched.ptMaxSize.x, 7) << c.mask;
        EXPECT_EQ(untouched.wszTitle[0], c.titleWritten ? L'W' : L'?') << c.mask;
        EXPECT_EQ(untouched.dwModeFlags, c.modeFlagsWritten ? 8u : 0x100u) << c.mask;
        EXPECT_EQ(untouched.ptMinSize.x, (c.mask & DBIM_MINSIZE) ? 250 : 0) << c.mask;
    }
}

TEST_F(BandTest, ASiteMissingAPartIsRefusedOrGivesABarWithoutBrowser) {
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr) << "no window before the site";
    EXPECT_EQ(band->GetWindow(nullptr), E_INVALIDARG);

    // Each on a band of its own.
    struct Case {
        bool* withheld;  // the part the site does not offer
        HWND window;
        HRESULT result;
        bool windowMade;
    } cases[] = {
        {&site.offersWindow, frame, E_FAIL, false},
        {nullptr, reinterpret_cast<HWND>(0x4321), E_FAIL, false},  // not a window
        {&site.offersInputObjectSite, frame, E_FAIL, true},
        {&site.offersCommandTarget, frame, S_OK, true},
        {&site.offersServiceProvider, frame, S_OK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        ComPtr<IDeskBand> other;
        ComPtr<IObjectWithSite> otherSite;
        ASSERT_EQ(module.CreateInstance(CLSID_Wisp, nullptr, IID_PPV_ARGS(&other)), S_OK);
        ASSERT_EQ(other.As(&otherSite), S_OK);
        site.window = c.window;
        if (c.withheld) {
            *c.withheld = false;
        }
        EXPECT_EQ(otherSite->SetSite(static_cast<IOleWindow*>(&site)), c.result);
        HWND made = nullptr;
        other->GetWindow(&made);
        EXPECT_EQ(::IsWindow(made) != FALSE, c.windowMade);
        if (c.result == S_OK) {
            EXPECT_EQ(browser.count, 1u) << "no browser is held";
        } else {
            EXPECT_EQ(site.count, 1u) << "nothing of a refused site is held";
        }
        ComPtr<IUnknown> got;
        EXPECT_EQ(otherSite->GetSite(IID_PPV_ARGS(&got)), c.result == S_OK ? S_OK : E_FAIL);
        EXPECT_EQ(got != nullptr, c.result == S_OK);
        otherSite->SetSite(nullptr);
        if (c.withheld) {
            *c.withheld = true;
        }
    }
    // A service provider without the browser: the band still works.
    site.browser = nullptr;
    EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    EXPECT_TRUE(::IsWindow(BandWindow()));
}

TEST_F(BandTest, SiteLifecycleFromWindowToClose) {
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    HWND window = BandWindow();
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(::GetParent(window), frame);
    EXPECT_TRUE(::GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(ShownItself(window)) << "hidden until shown";
    EXPECT_EQ(browser.count, 2u) << "the band window holds the browser";
    EXPECT_EQ(site.count, 2u) << "the band holds the site's focus interface";

    // GetSite asks the held focus interface.
    ComPtr<IOleWindow> siteWindow;
    EXPECT_EQ(withSite->GetSite(IID_PPV_ARGS(&siteWindow)), S_OK);
    EXPECT_EQ(siteWindow.Get(), static_cast<IOleWindow*>(&site));
    siteWindow.Reset();
    EXPECT_EQ(withSite->GetSite(IID_IOleWindow, nullptr), E_POINTER);

    EXPECT_EQ(band->ShowDW(TRUE), S_OK);
    EXPECT_TRUE(ShownItself(window));
    EXPECT_EQ(band->ShowDW(FALSE), S_OK);
    EXPECT_FALSE(ShownItself(window));

    EXPECT_EQ(band->CloseDW(0), S_OK);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(BandWindow(), window) << "the stored handle is kept";
    EXPECT_EQ(band->ShowDW(TRUE), S_OK);

    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    EXPECT_EQ(site.count, 1u);
    ComPtr<IUnknown> got;
    EXPECT_EQ(withSite->GetSite(IID_PPV_ARGS(&got)), E_FAIL);
    EXPECT_EQ(browser.count, 2u) << "the browser stays until the last release";

    inputObject.Reset();
    withSite.Reset();
    band.Reset();
    EXPECT_EQ(browser.count, 1u);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(BandTest, LastReleaseWithoutCloseDestroysTheWindowFirst) {
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    HWND window = BandWindow();
    ASSERT_TRUE(::IsWindow(window));
    withSite->SetSite(nullptr);
    inputObject.Reset();
    withSite.Reset();
    band.Reset();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(browser.count, 1u);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(BandTest, ASecondSiteReplacesTheFirstWindow) {
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    HWND first = BandWindow();
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    HWND second = BandWindow();
    EXPECT_TRUE(::IsWindow(second));
    EXPECT_FALSE(::IsWindow(first)) << "no window is left without its object";
    EXPECT_EQ(site.count, 2u);
    EXPECT_EQ(browser.count, 2u);
}

TEST_F(BandTest, FocusCalls) {
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    HWND window = BandWindow();
    ::ShowWindow(frame, SW_SHOW);
    band->ShowDW(TRUE);
    ::SetFocus(frame);

    EXPECT_EQ(inputObject->UIActivateIO(FALSE, nullptr), S_OK);
    EXPECT_EQ(::GetFocus(), frame);
    EXPECT_EQ(inputObject->HasFocusIO(), S_OK) << "whatever has the focus";

    // The band focuses its window; the dialog manager passes that on to its first control.
    EXPECT_EQ(inputObject->UIActivateIO(TRUE, nullptr), S_OK);
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == window || ::IsChild(window, focus));
}

// Starts editing the label of a new item of the band's tree; the edit control or null.
HWND StartLabelEdit(HWND bandWindow) {
    HWND tree = ::GetDlgItem(bandWindow, 201);
    wchar_t text[] = L"Chapter";
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = text;
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    return reinterpret_cast<HWND>(
        ::SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
}

TEST_F(BandTest, EditingATreeLabelAsksTheSiteToRouteKeysToTheBarWhenItHasOne) {
    site.offersCommandTarget = false;  // no browser, so the window gets no owner
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    band->ShowDW(TRUE);
    EXPECT_NE(StartLabelEdit(BandWindow()), nullptr);
    EXPECT_TRUE(site.focusChanges.empty());

    site.offersCommandTarget = true;
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    band->ShowDW(TRUE);
    EXPECT_NE(StartLabelEdit(BandWindow()), nullptr);
    ASSERT_EQ(site.focusChanges.size(), 1u);
    EXPECT_EQ(site.focusChanges[0], TRUE);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(band.As(&identity), S_OK);
    EXPECT_EQ(site.lastFocusObject, identity.Get());
}

// Records the messages a window of its class receives.
std::vector<UINT> recordedMessages;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_CHAR) {
        recordedMessages.push_back(message);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(BandTest, EveryOfferedMessageIsTranslatedAndDispatchedToItsWindow) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = L"WispRecordingWindow";
    ::RegisterClassW(&windowClass);
    HWND target = ::CreateWindowExW(0, L"WispRecordingWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(target);
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);

    recordedMessages.clear();
    MSG key{target, WM_KEYDOWN, 'A', 0x001E0001, 0, {}};
    EXPECT_EQ(inputObject->TranslateAcceleratorIO(&key), S_OK);
    ASSERT_EQ(recordedMessages.size(), 1u);
    EXPECT_EQ(recordedMessages[0], static_cast<UINT>(WM_KEYDOWN));

    // The translation posted the character to the target.
    MSG posted;
    bool sawCharacter = false;
    while (::PeekMessageW(&posted, target, 0, 0, PM_REMOVE)) {
        sawCharacter = sawCharacter || posted.message == WM_CHAR;
    }
    EXPECT_TRUE(sawCharacter);
    EXPECT_EQ(inputObject->TranslateAcceleratorIO(nullptr), E_POINTER);
    ::DestroyWindow(target);
}

TEST_F(BandTest, PersistenceKeepsNoState) {
    ComPtr<IPersistStream> persist;
    ASSERT_EQ(band.As(&persist), S_OK);
    CLSID clsid{};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Wisp));
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    ComPtr<IStream> stream;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    EXPECT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);
    EXPECT_EQ(persist->Load(nullptr), S_OK);
    STATSTG status{};
    ASSERT_EQ(stream->Stat(&status, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(status.cbSize.QuadPart, 0u) << "nothing written";
}

}  // namespace
}  // namespace wisp::test
