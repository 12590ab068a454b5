#include "posix/capture/CurlUrlCombiner.h"

#include <curl/curl.h>

#include <memory>

#include "posix/capture/BrowserUrlResolution.h"

namespace wisp {
namespace {

struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// An absolute URL with a scheme libcurl can parse, host and all.
bool IsAbsoluteUrl(std::string_view text) {
    std::unique_ptr<CURLU, CurlUrlDeleter> url(curl_url());
    if (!url || text.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::string copy(text);
    return curl_url_set(url.get(), CURLUPART_URL, copy.c_str(),
                        CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) == CURLUE_OK;
}

}  // namespace

std::optional<std::string> CurlUrlCombiner::Combine(std::string_view base,
                                                    std::string_view relative) const {
    // A page's references are combined with one base, one after another.
    thread_local std::string lastBase;
    thread_local bool lastBaseAbsolute = false;
    if (base != lastBase || lastBase.empty()) {
        lastBaseAbsolute = IsAbsoluteUrl(base);
        lastBase = base;
    }
    if (!lastBaseAbsolute) {
        return std::nullopt;
    }
    return ResolveAsBrowser(base, relative);
}

}  // namespace wisp
