#pragma once

#include <memory>
#include <string_view>

// Download progress port: what the reader sees while a page's resources are fetched.
namespace wisp {

class IDownloadProgress {
public:
    virtual ~IDownloadProgress() = default;

    virtual void Show() = 0;
    // The address being fetched now.
    virtual void SetStatus(std::string_view status) = 0;
    virtual void Close() = 0;
};

std::unique_ptr<IDownloadProgress> CreateNativeDownloadProgress();

}  // namespace wisp
