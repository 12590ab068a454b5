#include "core/app/PageSaving.h"

#include "core/capture/PageComposition.h"
#include "core/capture/PageMetadata.h"
#include "core/capture/PageWriter.h"
#include "core/capture/PastedPageTitle.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"

namespace wisp {
namespace {

CaptureOutcome SavePageHtml(std::string html, std::string sourceUrl, std::string_view pagePath,
                            const CapturePorts& ports) {
    CCaptureContext job(ports);
    job.Init(std::move(html), std::move(sourceUrl), pagePath);
    CaptureOutcome saved;
    if (!job.LocalizeResources()) {
        saved.outcome.warnings.push_back(
            "cannot create the folder " + JoinPath(job.PageFolder(), job.CompanionName()) +
            "; the page keeps its references as they were");
    }
    job.DownloadResources();
    const std::vector<bool>& fetched = job.Fetched();
    saved.resources = fetched.size();
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        if (!fetched[i]) {
            saved.failedUrls.push_back(job.SourceUrls()[i]);
            saved.outcome.warnings.push_back("could not fetch " + job.SourceUrls()[i]);
        }
    }
    if (!WritePageFile(ports.files, job, pagePath)) {
        saved.outcome = Outcome::Failed("cannot write the page " + std::string(pagePath));
        return saved;
    }
    saved.outcome.path = pagePath;
    return saved;
}

}  // namespace

Outcome ChoosePagePath(std::string_view folder, std::string_view title) {
    if (std::optional<std::string_view> refused = CheckPageTitle(title)) {
        return Outcome::Refused(std::string(*refused));
    }
    std::optional<std::string> pagePath = MakePagePath(folder, title);
    if (!pagePath) {
        return Outcome::Refused(std::string(kPathTooLongMessage));
    }
    return Outcome::Done(std::move(*pagePath));
}

CaptureOutcome CapturePage(const PageCapture& capture, const CapturePorts& ports) {
    Outcome pagePath = ChoosePagePath(capture.folder, capture.title);
    if (!pagePath.IsDone()) {
        return {pagePath};
    }
    std::string html;
    if (capture.style == kCollectWholePage) {
        html = ComposeWholePage(capture.source);
    } else if (capture.style == kCollectSelection) {
        std::optional<std::string> page =
            ComposeSelectionPage(capture.source, capture.title, ports.urlCombiner);
        if (!page) {
            return {Outcome::Failed("cannot read the style sheets of " + capture.source.Url())};
        }
        html = std::move(*page);
    }
    if (!html.empty()) {
        html = AddPageMetadata(std::move(html), capture.keywords, capture.description);
    }
    return SavePageHtml(std::move(html), capture.source.Url(), pagePath.path, ports);
}

std::string PastedPageName(const PastedPage& page) {
    return page.name ? *page.name : PastedPageTitle(page.title);
}

CaptureOutcome SavePastedPage(const PastedPage& page, const CapturePorts& ports) {
    std::string name = PastedPageName(page);
    if (page.name) {
        if (std::optional<std::string_view> refusal = CheckNewItemName(name)) {
            return {Outcome::Refused(std::string(*refusal))};
        }
    }
    std::optional<std::string> pagePath = MakePagePath(page.folder, name);
    if (!pagePath) {
        return {Outcome::Refused(std::string(kPathTooLongMessage))};
    }
    return SavePageHtml(page.html, page.sourceUrl, *pagePath, ports);
}

}  // namespace wisp
