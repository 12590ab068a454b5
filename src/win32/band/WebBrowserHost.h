#pragma once

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <wrl/client.h>

#include "core/platform/BrowserHost.h"

// The browser-host port over the browser's IWebBrowser2: navigation to a file or a blank page,
// and the editing mode and saving of its current HTML document. Every failure of the browser
// is an answer here (false or null), never an error that leaves the caller.
namespace wisp::win32 {

// The browser's MSHTML command group and its save command.
inline constexpr GUID kMshtmlCommandGroup = {
    0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr DWORD kSaveDocumentCommand = 70;

class CWebBrowserHost final : public IBrowserHost {
public:
    // Takes its own reference and releases the one held before; null holds none.
    void SetBrowser(IWebBrowser2* browser) { browser_ = browser; }
    bool HasBrowser() const { return browser_ != nullptr; }

    // The current document as an HTML document; null with no browser, no document, or a
    // document that is not HTML.
    Microsoft::WRL::ComPtr<IHTMLDocument2> Document() const;

    void Navigate(std::string_view target) override;
    bool SetDesignMode(bool on) override;
    bool SaveDocument() override;

private:
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
};

}  // namespace wisp::win32
