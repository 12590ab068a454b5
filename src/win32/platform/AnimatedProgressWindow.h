#pragma once

#include <windows.h>

#include <string_view>

// A small modeless window without owner that keeps a clip playing while long work blocks the
// thread: the download and the building windows. Its OK and Cancel buttons only close it.
namespace wisp::win32 {

class AnimatedProgressWindow {
public:
    AnimatedProgressWindow() = default;
    ~AnimatedProgressWindow() { Destroy(); }
    AnimatedProgressWindow(const AnimatedProgressWindow&) = delete;
    AnimatedProgressWindow& operator=(const AnimatedProgressWindow&) = delete;

    // Creates the window from `templateId`, hidden and centred on the work area, with clip
    // `clipId` playing endlessly in animation control `animationId`. False when it cannot.
    bool Create(HINSTANCE resources, int templateId, int animationId, int clipId);
    void Show();
    void SetText(int controlId, std::string_view text);
    void Destroy();

    HWND Handle() const { return window_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace wisp::win32
