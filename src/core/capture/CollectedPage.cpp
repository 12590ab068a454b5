#include "core/capture/CollectedPage.h"

#include "core/capture/PageComposition.h"
#include "core/capture/PageMetadata.h"
#include "core/capture/PageWriter.h"

namespace wisp {

bool SaveCollectedPage(const IPageSource& source, long style, const SaveChoice& choice,
                       const CapturePorts& ports) {
    CCaptureContext job(ports);
    if (style == kCollectWholePage || style == kCollectSelection) {
        std::string html;
        if (style == kCollectWholePage) {
            html = ComposeWholePage(source);
        } else {
            std::optional<std::string> page =
                ComposeSelectionPage(source, choice.title, ports.urlCombiner);
            if (!page) {
                return false;
            }
            html = std::move(*page);
        }
        job.Init(AddPageMetadata(std::move(html), choice.keywords, choice.description),
                 source.Url(), choice.pagePath);
    }
    // Neither result is looked at: the page is written in any case.
    job.LocalizeResources();
    job.DownloadResources();
    WritePageFile(ports.files, job, choice.pagePath);
    return true;
}

}  // namespace wisp
