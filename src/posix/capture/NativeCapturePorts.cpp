#include <unistd.h>

#include "core/platform/DownloadProgress.h"
#include "core/platform/Downloader.h"
#include "core/platform/UrlCombiner.h"
#include "posix/capture/CurlDownloader.h"
#include "posix/capture/CurlUrlCombiner.h"
#include "posix/capture/TerminalDownloadProgress.h"

namespace wisp {

std::unique_ptr<IUrlCombiner> CreateNativeUrlCombiner() {
    return std::make_unique<CurlUrlCombiner>();
}

std::unique_ptr<IDownloader> CreateNativeDownloader() {
    return std::make_unique<CurlDownloader>();
}

std::unique_ptr<IDownloadProgress> CreateNativeDownloadProgress() {
    return std::make_unique<TerminalDownloadProgress>(stderr, ::isatty(STDERR_FILENO) == 1);
}

}  // namespace wisp
