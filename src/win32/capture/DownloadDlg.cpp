#include "win32/capture/DownloadDlg.h"

#include "win32/platform/MessagePump.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {

void CDownloadDlg::Show() {
    // Without the window the downloads run all the same, unseen.
    if (window_.Create(resources_, IDD_DOWNLOAD, IDC_PROGRESS_ANIMATION, IDR_DOWNLOAD_CLIP)) {
        window_.Show();
    }
    PumpMessagesFor(kShowWaitMs);
}

void CDownloadDlg::SetStatus(std::string_view status) {
    window_.SetText(IDC_DOWNLOAD_STATUS, status);
    PumpMessagesFor(kStatusWaitMs);
}

}  // namespace wisp::win32
