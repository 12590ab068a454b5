#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "core/platform/DownloadProgress.h"

namespace wisp {

// The progress of the entries a downloader passes on to another, counted after the `before`
// of all `total` it dealt with itself; a status that is a file standing in for an address
// (a kept answer fetched in its place) is shown as that address.
class ProgressAfter final : public IDownloadProgress {
public:
    ProgressAfter(IDownloadProgress& shown, std::size_t before, std::size_t total,
                  std::map<std::string, std::string, std::less<>> addressOf = {})
        : shown_(shown), addressOf_(std::move(addressOf)), before_(before), total_(total) {}

    void Show() override { shown_.Show(); }
    void SetStatus(std::string_view status) override {
        auto found = addressOf_.find(status);
        shown_.SetStatus(found == addressOf_.end() ? status : found->second);
    }
    void SetCount(std::size_t done, std::size_t) override {
        shown_.SetCount(before_ + done, total_);
    }
    void Close() override { shown_.Close(); }
    bool Cancelled() const override { return shown_.Cancelled(); }

private:
    IDownloadProgress& shown_;
    std::map<std::string, std::string, std::less<>> addressOf_;
    std::size_t before_;
    std::size_t total_;
};

}  // namespace wisp
