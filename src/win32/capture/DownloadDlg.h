#pragma once

#include <windows.h>

#include "core/platform/DownloadProgress.h"
#include "win32/platform/AnimatedProgressWindow.h"

// The "Downloading..." window shown while a page's resources are fetched: a looping clip and
// the address being fetched. Its buttons only close it; the downloads go on to their end.
namespace wisp::win32 {

class CDownloadDlg final : public IDownloadProgress {
public:
    // `resources` holds dialog 111 and the clip.
    explicit CDownloadDlg(HINSTANCE resources) : resources_(resources) {}

    // Shows the window, then lets it paint and its clip start before the first fetch.
    void Show() override;
    // Shows the address, and lets the reader see it before the fetch blocks the thread.
    void SetStatus(std::string_view status) override;
    void Close() override { window_.Destroy(); }

    HWND Handle() const { return window_.Handle(); }

    static constexpr DWORD kShowWaitMs = 200;
    static constexpr DWORD kStatusWaitMs = 100;

private:
    HINSTANCE resources_;
    AnimatedProgressWindow window_;
};

}  // namespace wisp::win32
