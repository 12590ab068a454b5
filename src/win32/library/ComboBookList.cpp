#include "win32/library/ComboBookList.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {

void ComboBookList::Clear() {
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
}

std::size_t ComboBookList::Add(std::string_view text) {
    std::wstring wide = Utf8ToWide(text);
    LRESULT index = ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    return index < 0 ? Count() : static_cast<std::size_t>(index);
}

std::size_t ComboBookList::Count() const {
    LRESULT count = ::SendMessageW(combo_, CB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<std::size_t>(count);
}

std::string ComboBookList::GetText(std::size_t index) const {
    LRESULT length = ::SendMessageW(combo_, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    length = ::SendMessageW(combo_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
    return WideToUtf8(text);
}

std::optional<std::size_t> ComboBookList::GetSelection() const {
    LRESULT selection = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    if (selection < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selection);
}

void ComboBookList::Select(std::size_t index) {
    ::SendMessageW(combo_, CB_SETCURSEL, index, 0);
}

}  // namespace wisp::win32
