#pragma once

#include <memory>

#include "core/capture/CaptureContext.h"
#include "core/platform/NativePorts.h"

// This platform's capture adapters, owned together for the capture paths of the DLL (collect,
// paste and drop), which each need the four at once.
namespace wisp {

struct NativeCaptureServices {
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    std::unique_ptr<IUrlCombiner> urlCombiner = CreateNativeUrlCombiner();
    std::unique_ptr<IDownloader> downloader = CreateNativeDownloader();
    std::unique_ptr<IDownloadProgress> progress = CreateNativeDownloadProgress();
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();

    CapturePorts Ports() const { return {*files, *urlCombiner, *downloader, *progress, *shell}; }
};

}  // namespace wisp
