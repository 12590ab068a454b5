#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstring>
#include <string>

// A data object such as a browser puts on the clipboard or offers to a drop: one format in
// global memory (or, to test refusals, in a stream). It lives on the test's stack.
namespace wisp::test {

class StandInDataObject final : public IDataObject {
public:
    StandInDataObject(CLIPFORMAT format, std::string text, DWORD tymed = TYMED_HGLOBAL)
        : format_(format), text_(std::move(text)), tymed_(tymed) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        *medium = {};
        if (tymed_ == TYMED_ISTREAM) {
            medium->tymed = TYMED_ISTREAM;
            return ::CreateStreamOnHGlobal(nullptr, TRUE, &medium->pstm);
        }
        // The block holds the text and its zero, as a browser writes it.
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text_.size() + 1);
        char* data = static_cast<char*>(::GlobalLock(memory));
        std::memcpy(data, text_.c_str(), text_.size() + 1);
        ::GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        return S_OK;
    }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == format_ && (format->tymed & tymed_) ? S_OK
                                                                                 : DV_E_FORMATETC;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    ULONG references = 1;

private:
    CLIPFORMAT format_;
    std::string text_;
    DWORD tymed_;
};

}  // namespace wisp::test
