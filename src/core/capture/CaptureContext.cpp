#include "core/capture/CaptureContext.h"

#include "core/capture/AddressRules.h"
#include "core/capture/LocalReference.h"
#include "core/capture/ResourceScan.h"
#include "core/library/LibraryNaming.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"

namespace wisp {
namespace {

// A combined URL must fit a 256-character buffer, a queued URL or local path a 512 one;
// a reference beyond them is left as written rather than cut to another address.
constexpr std::size_t kMaxCombinedUrlChars = 255;
constexpr std::size_t kMaxQueuedChars = 511;

}  // namespace

bool CCaptureContext::Init(std::string html, std::string pageUrl, std::string_view pagePath) {
    html_ = std::move(html);
    pageUrl_ = std::move(pageUrl);
    std::size_t separator = pagePath.rfind(kPathSeparator);
    pageFolder_ = separator == std::string_view::npos ? std::string()
                                                      : std::string(pagePath.substr(0, separator));
    companionName_ = MakeCompanionFolderName(pagePath);
    return true;
}

std::string CCaptureContext::CompanionFolderPath() const {
    // A page path without a folder keeps its companion beside it, not at the file system's
    // root.
    return pageFolder_.empty() ? companionName_ : JoinPath(pageFolder_, companionName_);
}

bool CCaptureContext::ResolveResourceUrl(std::string_view pageUrl, std::string& url) const {
    if (pageUrl.empty() || url.empty()) {
        return false;
    }
    // A web address whose scheme is written in capitals is a web address all the same.
    const bool webPage = MentionsWebScheme(pageUrl) || IsWebUrl(pageUrl);
    std::string resolved;
    // Only a reference that starts with a web scheme is absolute: one that carries an
    // address in its query ("go.php?to=http://...") is relative like any other.
    if (IsWebUrl(url) || HasDrivePathMarker(url)) {
        resolved = url;
    } else if (webPage) {
        std::optional<std::string> combined = ports_.urlCombiner.Combine(pageUrl, url);
        if (!combined || Utf16Length(*combined) > kMaxCombinedUrlChars) {
            return false;
        }
        resolved = std::move(*combined);
    } else {
        std::optional<std::string> local = ResolveLocalReference(pageUrl, url);
        if (!local) {
            return false;
        }
        resolved = std::move(*local);
    }
    // A page from the web must never make the reader's machine copy its own files.
    if (webPage && !IsWebUrl(resolved)) {
        return false;
    }
    url = std::move(resolved);
    return true;
}

bool CCaptureContext::LocalizeResources() {
    sourceUrls_.clear();
    localPaths_.clear();
    const std::string companionFolder = CompanionFolderPath();
    std::optional<std::string> rewritten = RewriteResourceReferences(
        html_, [&](const ResourceTag&, std::string_view reference) -> ReferenceDecision {
            std::string url(reference);
            std::string fileName;
            if (!ResolveResourceUrl(pageUrl_, url) || !MakeResourceFileName(url, fileName)) {
                return {};
            }
            std::string localPath = JoinPath(companionFolder, fileName);
            if (Utf16Length(url) > kMaxQueuedChars || Utf16Length(localPath) > kMaxQueuedChars) {
                return {};
            }
            if (ports_.files.CreateFolder(companionFolder) == CreateFolderResult::Failed) {
                return {ReferenceDecision::Outcome::Abort, {}};
            }
            sourceUrls_.push_back(std::move(url));
            localPaths_.push_back(std::move(localPath));
            return {ReferenceDecision::Outcome::Rewrite, JoinPath(companionName_, fileName)};
        });
    if (!rewritten) {
        return false;
    }
    html_ = std::move(*rewritten);
    return true;
}

bool CCaptureContext::DownloadResources() {
    ports_.progress.Show();
    for (std::size_t i = 0; i < sourceUrls_.size(); ++i) {
        ports_.progress.SetStatus(sourceUrls_[i]);
        // A failed fetch is not reported: the page is saved all the same.
        ports_.downloader.Download(sourceUrls_[i], localPaths_[i]);
    }
    ports_.progress.Close();
    return true;
}

}  // namespace wisp
