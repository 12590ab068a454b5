#pragma once

#include <memory>
#include <string_view>

// Downloader port: fetches one address (http, https, file URL or a local path) into a file.
namespace wisp {

class IDownloader {
public:
    virtual ~IDownloader() = default;

    // Replaces the file at `localPath` with what `url` holds. False when the fetch failed;
    // the file at `localPath` is then as it was before.
    virtual bool Download(std::string_view url, std::string_view localPath) = 0;
};

std::unique_ptr<IDownloader> CreateNativeDownloader();

}  // namespace wisp
