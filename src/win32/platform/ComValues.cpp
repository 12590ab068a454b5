#include "win32/platform/ComValues.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {

UniqueBstr::UniqueBstr(std::string_view utf8) {
    std::wstring wide = Utf8ToWide(utf8);
    text_ = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

BSTR* UniqueBstr::Put() {
    ::SysFreeString(text_);
    text_ = nullptr;
    return &text_;
}

std::string UniqueBstr::ToUtf8() const {
    return text_ ? WideToUtf8(std::wstring_view(text_, ::SysStringLen(text_))) : std::string();
}

VARIANT* UniqueVariant::Put() {
    ::VariantClear(&value_);
    return &value_;
}

VARIANT IndexVariant(long index) {
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = index;
    return value;
}

}  // namespace wisp::win32
