#include "core/platform/DownloadProgress.h"
#include "core/platform/Downloader.h"
#include "core/platform/UrlCombiner.h"
#include "win32/capture/DownloadDlg.h"
#include "win32/capture/UrlMonDownloader.h"
#include "win32/capture/WinInetUrlCombiner.h"
#include "win32/platform/ModuleFile.h"

namespace wisp {

std::unique_ptr<IUrlCombiner> CreateNativeUrlCombiner() {
    return std::make_unique<win32::WinInetUrlCombiner>();
}

std::unique_ptr<IDownloader> CreateNativeDownloader() {
    return std::make_unique<win32::UrlMonDownloader>();
}

std::unique_ptr<IDownloadProgress> CreateNativeDownloadProgress() {
    // The window's template and clip are resources of the module that holds this code.
    return std::make_unique<win32::CDownloadDlg>(win32::ThisModule());
}

}  // namespace wisp
