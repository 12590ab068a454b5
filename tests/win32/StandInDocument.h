#pragma once

#include <windows.h>
#include <docobj.h>
#include <mshtml.h>

#include <optional>
#include <string>
#include <vector>

#include "NotImplementedHtml.h"

// A browser window and its HTML document as the collector and the bar use them, written into
// the test: title, address, the "all" collection, style sheets and the selection; the editing
// modes it is put in and the commands executed on it are recorded. Objects live on the test's
// stack; their reference counts only count.
namespace wisp::test {

template <typename Base>
class StandIn : public Base {
public:
    explicit StandIn(const IID& iid) : iid_(iid) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, iid_)) {
            *object = static_cast<Base*>(this);
            this->AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    ULONG references = 1;

private:
    const IID& iid_;
};

inline HRESULT ReturnText(const std::wstring& text, BSTR* result) {
    *result = ::SysAllocString(text.c_str());
    return S_OK;
}

template <typename I>
HRESULT ReturnObject(I* object, IDispatch** result) {
    *result = object;
    if (object) {
        object->AddRef();
    }
    return object ? S_OK : E_FAIL;
}

class StandInElement final : public StandIn<NotImplementedIHTMLElement> {
public:
    StandInElement(std::wstring tag, std::wstring outer)
        : StandIn(IID_IHTMLElement), tagName(std::move(tag)), outerHtml(std::move(outer)) {}
    STDMETHODIMP get_tagName(BSTR* p) override { return ReturnText(tagName, p); }
    STDMETHODIMP get_outerHTML(BSTR* p) override { return ReturnText(outerHtml, p); }
    std::wstring tagName;
    std::wstring outerHtml;
};

class StandInElements final : public StandIn<NotImplementedIHTMLElementCollection> {
public:
    StandInElements() : StandIn(IID_IHTMLElementCollection) {}
    STDMETHODIMP get_length(LONG* p) override {
        *p = static_cast<LONG>(elements.size());
        return S_OK;
    }
    STDMETHODIMP item(VARIANT name, VARIANT, IDispatch** result) override {
        *result = nullptr;
        if (name.vt != VT_I4 || name.lVal < 0 ||
            static_cast<std::size_t>(name.lVal) >= elements.size()) {
            return E_INVALIDARG;
        }
        return ReturnObject(elements[name.lVal], result);
    }
    std::vector<StandInElement*> elements;
};

class StandInStyleSheet final : public StandIn<NotImplementedIHTMLStyleSheet> {
public:
    explicit StandInStyleSheet(std::wstring css) : StandIn(IID_IHTMLStyleSheet), cssText(css) {}
    STDMETHODIMP get_cssText(BSTR* p) override { return ReturnText(cssText, p); }
    std::wstring cssText;
};

class StandInStyleSheets final : public StandIn<NotImplementedIHTMLStyleSheetsCollection> {
public:
    StandInStyleSheets() : StandIn(IID_IHTMLStyleSheetsCollection) {}
    STDMETHODIMP get_length(LONG* p) override {
        *p = static_cast<LONG>(sheets.size());
        return S_OK;
    }
    // A null entry answers with an empty variant, as an item that is no style sheet.
    STDMETHODIMP item(VARIANT* index, VARIANT* result) override {
        ::VariantInit(result);
        if (index->vt != VT_I4 || static_cast<std::size_t>(index->lVal) >= sheets.size()) {
            return E_INVALIDARG;
        }
        if (IDispatch* sheet = sheets[index->lVal]) {
            result->vt = VT_DISPATCH;
            result->pdispVal = sheet;
            sheet->AddRef();
        }
        return S_OK;
    }
    std::vector<IDispatch*> sheets;
};

class StandInTextRange final : public StandIn<NotImplementedIHTMLTxtRange> {
public:
    StandInTextRange() : StandIn(IID_IHTMLTxtRange) {}
    STDMETHODIMP get_htmlText(BSTR* p) override { return ReturnText(html, p); }
    std::wstring html;
};

class StandInSelection final : public StandIn<NotImplementedIHTMLSelectionObject> {
public:
    StandInSelection() : StandIn(IID_IHTMLSelectionObject) {}
    STDMETHODIMP createRange(IDispatch** range) override { return ReturnObject(&textRange, range); }
    StandInTextRange textRange;
};

class StandInDocument final : public StandIn<NotImplementedIHTMLDocument2>,
                              public IOleCommandTarget {
public:
    struct Command {
        GUID group;
        DWORD id;
        DWORD option;
    };

    StandInDocument() : StandIn(IID_IHTMLDocument2) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object && IsEqualIID(iid, IID_IOleCommandTarget)) {
            *object = nullptr;
            if (!offersCommandTarget) {
                return E_NOINTERFACE;
            }
            *object = static_cast<IOleCommandTarget*>(this);
            AddRef();
            return S_OK;
        }
        if (object && IsEqualIID(iid, IID_IHTMLDocument)) {
            return StandIn::QueryInterface(IID_IHTMLDocument2, object);
        }
        return StandIn::QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return StandIn::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return StandIn::Release(); }

    STDMETHODIMP get_title(BSTR* p) override { return ReturnText(title, p); }
    STDMETHODIMP get_URL(BSTR* p) override { return ReturnText(url, p); }
    STDMETHODIMP get_all(IHTMLElementCollection** p) override {
        *p = &all;
        all.AddRef();
        return S_OK;
    }
    STDMETHODIMP get_styleSheets(IHTMLStyleSheetsCollection** p) override {
        *p = nullptr;
        if (!sheetsReadable) {
            return E_ACCESSDENIED;
        }
        *p = &sheets;
        sheets.AddRef();
        return S_OK;
    }
    STDMETHODIMP get_selection(IHTMLSelectionObject** p) override {
        *p = &selection;
        selection.AddRef();
        return S_OK;
    }
    STDMETHODIMP put_designMode(BSTR mode) override {
        designModes.emplace_back(mode ? mode : L"");
        return S_OK;
    }

    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Exec(const GUID* group, DWORD id, DWORD option, VARIANT*, VARIANT*) override {
        commands.push_back({group ? *group : GUID{}, id, option});
        return S_OK;
    }

    std::wstring title;
    std::wstring url;
    StandInElements all;
    StandInStyleSheets sheets;
    bool sheetsReadable = true;
    StandInSelection selection;
    bool offersCommandTarget = true;
    std::vector<std::wstring> designModes;
    std::vector<Command> commands;
};

// A document that is not HTML: it answers only IUnknown and IDispatch.
class StandInPlainDocument final : public StandIn<NotImplementedIDispatch> {
public:
    StandInPlainDocument() : StandIn(IID_IDispatch) {}
};

class StandInWindow final : public StandIn<NotImplementedIHTMLWindow2> {
public:
    StandInWindow() : StandIn(IID_IHTMLWindow2) {}
    STDMETHODIMP get_document(IHTMLDocument2** p) override {
        *p = &document;
        document.AddRef();
        return S_OK;
    }
    StandInDocument document;
};

}  // namespace wisp::test
