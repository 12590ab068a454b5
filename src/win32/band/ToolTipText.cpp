#include "win32/band/ToolTipText.h"

#include <algorithm>
#include <string_view>

namespace wisp::win32 {
namespace {

constexpr int kStringBufferSize = 256;

// Both forms of the request: the text buffer and the flags sit alike.
template <typename Char, typename DispInfo, typename Load>
void Fill(HINSTANCE resources, DispInfo& info, Load load) {
    std::fill(std::begin(info.szText), std::end(info.szText), Char{});
    info.lpszText = info.szText;
    UINT_PTR id = info.hdr.idFrom;
    if (id == 0 || (info.uFlags & TTF_IDISHWND)) {
        return;
    }
    Char text[kStringBufferSize] = {};
    int length = load(resources, static_cast<UINT>(id), text, kStringBufferSize);
    if (length <= 0) {
        return;
    }
    std::basic_string_view<Char> loaded(text, static_cast<std::size_t>(length));
    std::size_t lineBreak = loaded.find(Char{10});
    if (lineBreak != loaded.npos) {
        std::basic_string_view<Char> tip = loaded.substr(lineBreak + 1, kToolTipBufferSize - 1);
        std::copy(tip.begin(), tip.end(), info.szText);
    }
    // The toolbar keeps the text and asks no more.
    info.uFlags |= TTF_DI_SETITEM;
}

}  // namespace

bool IsToolTipTextRequest(const NMHDR& header) {
    return header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW;
}

void FillToolTipText(HINSTANCE resources, NMHDR& header) {
    if (header.code == TTN_GETDISPINFOW) {
        Fill<wchar_t>(resources, reinterpret_cast<NMTTDISPINFOW&>(header), ::LoadStringW);
    } else if (header.code == TTN_GETDISPINFOA) {
        Fill<char>(resources, reinterpret_cast<NMTTDISPINFOA&>(header), ::LoadStringA);
    }
}

}  // namespace wisp::win32
