#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/DownloadProgress.h"
#include "core/platform/Downloader.h"
#include "core/platform/FileSystem.h"
#include "core/platform/UrlCombiner.h"

// One capture job: a page's HTML, the address it came from and where it is saved. It finds
// the page's resources, points their references at the page's companion folder and fetches
// them there.
namespace wisp {

// The platform services a capture job uses; they outlive the job.
struct CapturePorts {
    IFileSystem& files;
    const IUrlCombiner& urlCombiner;
    IDownloader& downloader;
    IDownloadProgress& progress;
};

class CCaptureContext {
public:
    explicit CCaptureContext(const CapturePorts& ports) : ports_(ports) {}
    virtual ~CCaptureContext() = default;
    CCaptureContext(const CCaptureContext&) = delete;
    CCaptureContext& operator=(const CCaptureContext&) = delete;

    // Takes the page; nothing is created on disk yet.
    bool Init(std::string html, std::string pageUrl, std::string_view pagePath);

    // Rewrites the references of the page's resources to files in the companion folder and
    // queues their downloads. False when the companion folder cannot be created: the HTML
    // then stays as Init stored it, and what was queued before stays queued.
    bool LocalizeResources();

    // Makes `url` absolute against `pageUrl`; false when the reference is not to be
    // localized.
    bool ResolveResourceUrl(std::string_view pageUrl, std::string& url) const;

    // Fetches every queued resource in queue order while the progress is shown. A failed
    // fetch goes unnoticed: the page is saved all the same.
    bool DownloadResources();

    const std::vector<std::string>& SourceUrls() const { return sourceUrls_; }
    const std::vector<std::string>& LocalPaths() const { return localPaths_; }
    const std::string& CompanionName() const { return companionName_; }
    const std::string& PageFolder() const { return pageFolder_; }
    const std::string& Html() const { return html_; }
    const std::string& PageUrl() const { return pageUrl_; }

private:
    std::string CompanionFolderPath() const;

    CapturePorts ports_;
    std::vector<std::string> sourceUrls_;
    std::vector<std::string> localPaths_;
    std::string companionName_;
    std::string pageFolder_;
    std::string html_;
    std::string pageUrl_;
};

}  // namespace wisp
