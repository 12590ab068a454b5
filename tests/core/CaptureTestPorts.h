#pragma once

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "PassThroughFileSystem.h"
#include "core/capture/CaptureContext.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

// Stand-ins for the capture's fetching and progress, which record what they are asked;
// files and URL combination are this platform's real adapters.
namespace wisp::test {

class RecordingDownloader final : public IDownloader {
public:
    bool Download(std::string_view url, std::string_view localPath) override {
        requests.emplace_back(url, localPath);
        return failing.count(std::string(url)) == 0;
    }
    std::vector<std::pair<std::string, std::string>> requests;
    std::set<std::string> failing;  // addresses that cannot be fetched
};

class RecordingProgress final : public IDownloadProgress {
public:
    void Show() override { events.push_back("show"); }
    void SetStatus(std::string_view status) override { events.push_back(std::string(status)); }
    void Close() override { events.push_back("close"); }
    std::vector<std::string> events;
};

struct CaptureFixturePorts {
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    std::unique_ptr<IUrlCombiner> urlCombiner = CreateNativeUrlCombiner();
    RecordingDownloader downloader;
    RecordingProgress progress;
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();

    CapturePorts Ports() { return {*files, *urlCombiner, downloader, progress, *shell}; }
};

}  // namespace wisp::test
