#include "win32/capture/UrlMonDownloader.h"

#include <windows.h>
#include <urlmon.h>

#include "win32/platform/WideString.h"

namespace wisp::win32 {

bool UrlMonDownloader::Download(std::string_view url, std::string_view localPath) {
    if (url.empty() || localPath.empty() || url.find('\0') != std::string_view::npos ||
        localPath.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::wstring wideUrl = Utf8ToWide(url);
    const std::wstring widePath = Utf8ToWide(localPath);
    return SUCCEEDED(::URLDownloadToFileW(nullptr, wideUrl.c_str(), widePath.c_str(), 0, nullptr));
}

}  // namespace wisp::win32
