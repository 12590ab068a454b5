#pragma once

#include "core/platform/Downloader.h"
#include "posix/capture/CurlFetch.h"

// The downloader on Linux: one libcurl transfer per resource.
namespace wisp {

class CurlDownloader final : public IDownloader {
public:
    explicit CurlDownloader(FetchOptions options = {}) : options_(options) {}

    bool Download(std::string_view url, std::string_view localPath) override {
        return FetchToFile(std::string(url), std::string(localPath), options_);
    }

private:
    FetchOptions options_;
};

}  // namespace wisp
