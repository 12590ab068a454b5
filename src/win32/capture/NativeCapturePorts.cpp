#include "core/platform/DownloadProgress.h"
#include "core/platform/Downloader.h"
#include "core/platform/UrlCombiner.h"
#include "win32/capture/UrlMonDownloader.h"
#include "win32/capture/WinInetUrlCombiner.h"

namespace wisp {
namespace {

// Shows nothing until the download window is built.
class SilentDownloadProgress final : public IDownloadProgress {
public:
    void Show() override {}
    void SetStatus(std::string_view) override {}
    void Close() override {}
};

}  // namespace

std::unique_ptr<IUrlCombiner> CreateNativeUrlCombiner() {
    return std::make_unique<win32::WinInetUrlCombiner>();
}

std::unique_ptr<IDownloader> CreateNativeDownloader() {
    return std::make_unique<win32::UrlMonDownloader>();
}

std::unique_ptr<IDownloadProgress> CreateNativeDownloadProgress() {
    return std::make_unique<SilentDownloadProgress>();
}

}  // namespace wisp
