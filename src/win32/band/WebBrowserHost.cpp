#include "win32/band/WebBrowserHost.h"

#include <docobj.h>
#include <oleauto.h>

#include "win32/platform/WideString.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {
namespace {

// A BSTR that is freed with its owner.
class Bstr {
public:
    explicit Bstr(std::string_view text) : text_(::SysAllocString(Utf8ToWide(text).c_str())) {}
    ~Bstr() { ::SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return text_; }

private:
    BSTR text_;
};

}  // namespace

ComPtr<IHTMLDocument2> CWebBrowserHost::Document() const {
    if (!browser_) {
        return nullptr;
    }
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(&document)) || !document) {
        return nullptr;
    }
    ComPtr<IHTMLDocument2> htmlDocument;
    if (FAILED(document.As(&htmlDocument))) {
        return nullptr;  // a document that is not HTML, or a browser that failed to answer
    }
    return htmlDocument;
}

void CWebBrowserHost::Navigate(std::string_view target) {
    if (!browser_) {
        return;
    }
    Bstr address(target);
    if (!address.Get()) {
        return;
    }
    VARIANT url;
    ::VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = address.Get();
    VARIANT empty;
    ::VariantInit(&empty);
    // The outcome of a navigation is not the bar's business.
    browser_->Navigate2(&url, &empty, &empty, &empty, &empty);
}

bool CWebBrowserHost::SetDesignMode(bool on) {
    ComPtr<IHTMLDocument2> document = Document();
    if (!document) {
        return false;
    }
    Bstr mode(on ? "on" : "off");
    return mode.Get() && SUCCEEDED(document->put_designMode(mode.Get()));
}

bool CWebBrowserHost::SaveDocument() {
    ComPtr<IHTMLDocument2> document = Document();
    ComPtr<IOleCommandTarget> commands;
    if (!document || FAILED(document.As(&commands))) {
        return false;
    }
    // A failed save is the browser's to show; the bar only reports it to its caller.
    return SUCCEEDED(commands->Exec(&kMshtmlCommandGroup, kSaveDocumentCommand,
                                    OLECMDEXECOPT_DODEFAULT, nullptr, nullptr));
}

}  // namespace wisp::win32
