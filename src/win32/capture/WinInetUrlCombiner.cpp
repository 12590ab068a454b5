#include "win32/capture/WinInetUrlCombiner.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "win32/platform/WideString.h"

namespace wisp::win32 {

std::optional<std::string> WinInetUrlCombiner::Combine(std::string_view base,
                                                       std::string_view relative) const {
    if (base.find('\0') != std::string_view::npos ||
        relative.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::wstring wideBase = Utf8ToWide(base);
    const std::wstring wideRelative = Utf8ToWide(relative);
    // Some implementations drop a part beyond the longest URL and combine the rest, which
    // would name another resource.
    if (wideBase.size() > INTERNET_MAX_URL_LENGTH ||
        wideRelative.size() > INTERNET_MAX_URL_LENGTH) {
        return std::nullopt;
    }
    // Room for any URL the browser handles; the caller applies its own length limit.
    std::vector<wchar_t> buffer(INTERNET_MAX_URL_LENGTH + 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (::InternetCombineUrlW(wideBase.c_str(), wideRelative.c_str(), buffer.data(), &length,
                                  ICU_NO_ENCODE)) {
            return WideToUtf8(std::wstring_view(buffer.data(), length));
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return std::nullopt;
        }
        buffer.resize(static_cast<std::size_t>(length) + 1);
    }
    return std::nullopt;
}

}  // namespace wisp::win32
