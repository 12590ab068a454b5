#pragma once

#include <map>
#include <string>

#include "core/platform/Downloader.h"

// The downloader on Windows: URLDownloadToFileW, which also copies local files.
namespace wisp::win32 {

class UrlMonDownloader final : public IDownloader {
public:
    bool Download(std::string_view url, std::string_view localPath) override;
    std::string WhyNotFetched(std::string_view url) const override;

private:
    std::map<std::string, std::string, std::less<>> whyNot_;  // the failed addresses' reasons
};

}  // namespace wisp::win32
