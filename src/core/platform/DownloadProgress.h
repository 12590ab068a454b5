#pragma once

#include <cstddef>
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
    // How many of `total` addresses are fetched so far; a window that shows only the address
    // leaves it out.
    virtual void SetCount(std::size_t /*done*/, std::size_t /*total*/) {}
    virtual void Close() = 0;
    // Whether the reader asked to stop (Ctrl-C on a terminal); the capture then leaves
    // nothing of the page behind.
    virtual bool Cancelled() const { return false; }
};

std::unique_ptr<IDownloadProgress> CreateNativeDownloadProgress();

}  // namespace wisp
