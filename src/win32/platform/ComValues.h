#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

// Owners of the two value types that automation calls hand out: a BSTR and a VARIANT.
namespace wisp::win32 {

class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(std::string_view utf8);
    ~UniqueBstr() { ::SysFreeString(text_); }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;

    BSTR Get() const { return text_; }
    // For calls that return a BSTR through an out parameter.
    BSTR* Put();
    // UTF-8; empty for a null BSTR.
    std::string ToUtf8() const;

private:
    BSTR text_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() { ::VariantInit(&value_); }
    ~UniqueVariant() { ::VariantClear(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    VARIANT* Get() { return &value_; }
    // Cleared first, for calls that fill a VARIANT.
    VARIANT* Put();

private:
    VARIANT value_;
};

// A 4-byte integer VARIANT, as collections take their index.
VARIANT IndexVariant(long index);

}  // namespace wisp::win32
