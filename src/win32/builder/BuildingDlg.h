#pragma once

#include <windows.h>

#include <string_view>

#include "win32/platform/AnimatedProgressWindow.h"

// The "Building" window kept on screen while the help compiler starts: a looping clip and a
// line of text. Created hidden with the build, shown when the build starts.
namespace wisp::win32 {

class CBuildingDlg {
public:
    // `resources` holds dialog 213 and clip 101.
    explicit CBuildingDlg(HINSTANCE resources);

    void Show() { window_.Show(); }
    void SetBuildingText(std::string_view text);
    HWND Handle() const { return window_.Handle(); }

private:
    AnimatedProgressWindow window_;
};

}  // namespace wisp::win32
