#include "win32/capture/DataObjectHtml.h"

#include <cstring>

namespace wisp::win32 {
namespace {

FORMATETC HtmlFormat() {
    return FORMATETC{HtmlClipboardFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Owns what GetData hands out.
class StorageMedium {
public:
    StorageMedium() = default;
    ~StorageMedium() { ::ReleaseStgMedium(&medium_); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    STGMEDIUM* Put() { return &medium_; }
    const STGMEDIUM& Get() const { return medium_; }

private:
    STGMEDIUM medium_{};
};

// Keeps a global memory block locked while it lives.
class GlobalLock {
public:
    explicit GlobalLock(HGLOBAL memory)
        : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
    ~GlobalLock() {
        if (data_) {
            ::GlobalUnlock(memory_);
        }
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;
    const char* Data() const { return static_cast<const char*>(data_); }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

CLIPFORMAT HtmlClipboardFormat() {
    static const CLIPFORMAT format =
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"HTML Format"));
    return format;
}

bool OffersHtml(IDataObject* data) {
    FORMATETC format = HtmlFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

std::optional<std::string> ReadHtmlFormat(IDataObject* data) {
    if (!data) {
        return std::nullopt;
    }
    FORMATETC format = HtmlFormat();
    StorageMedium medium;
    if (FAILED(data->GetData(&format, medium.Put())) || medium.Get().tymed != TYMED_HGLOBAL) {
        return std::nullopt;
    }
    GlobalLock lock(medium.Get().hGlobal);
    if (!lock.Data()) {
        return std::nullopt;
    }
    // The block may be larger than its text, and a careless source may leave out the zero.
    const std::size_t size = ::GlobalSize(medium.Get().hGlobal);
    const void* zero = std::memchr(lock.Data(), 0, size);
    const std::size_t length = zero ? static_cast<const char*>(zero) - lock.Data() : size;
    return std::string(lock.Data(), length);
}

}  // namespace wisp::win32
