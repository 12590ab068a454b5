#pragma once

#include "core/platform/Downloader.h"

// The downloader on Windows: URLDownloadToFileW, which also copies local files.
namespace wisp::win32 {

class UrlMonDownloader final : public IDownloader {
public:
    bool Download(std::string_view url, std::string_view localPath) override;
};

}  // namespace wisp::win32
