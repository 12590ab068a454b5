#include "win32/capture/UrlMonDownloader.h"

#include <windows.h>
#include <urlmon.h>

#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

// The download's failure in the few words the command line's warnings use.
std::string DescribeFailure(HRESULT result) {
    switch (result) {
    case INET_E_RESOURCE_NOT_FOUND:
    case INET_E_OBJECT_NOT_FOUND:
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
        return "not found";
    case INET_E_CANNOT_CONNECT:
        return "refused";
    case INET_E_CONNECTION_TIMEOUT:
        return "timed out";
    case INET_E_DOWNLOAD_FAILURE:
        return "the transfer broke off";
    case E_ACCESSDENIED:
        return "forbidden";
    default:
        return "error 0x" + [result] {
            char hex[9] = {};
            wsprintfA(hex, "%08lX", static_cast<unsigned long>(result));
            return std::string(hex);
        }();
    }
}

}  // namespace

bool UrlMonDownloader::Download(std::string_view url, std::string_view localPath) {
    if (url.empty() || localPath.empty() || url.find('\0') != std::string_view::npos ||
        localPath.find('\0') != std::string_view::npos) {
        whyNot_[std::string(url)] = "no address";
        return false;
    }
    const std::wstring wideUrl = Utf8ToWide(url);
    const std::wstring widePath = Utf8ToWide(localPath);
    const HRESULT result =
        ::URLDownloadToFileW(nullptr, wideUrl.c_str(), widePath.c_str(), 0, nullptr);
    if (FAILED(result)) {
        whyNot_[std::string(url)] = DescribeFailure(result);
        return false;
    }
    whyNot_.erase(std::string(url));
    return true;
}

std::string UrlMonDownloader::WhyNotFetched(std::string_view url) const {
    auto found = whyNot_.find(url);
    return found == whyNot_.end() ? std::string() : found->second;
}

}  // namespace wisp::win32
