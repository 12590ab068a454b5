#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

// The resize map of a dialog: controls whose right edge, bottom edge or both keep the distance
// to the window's right or bottom edge that they had when the map was recorded.
namespace wisp::win32 {

class DialogResize {
public:
    enum Stretch : unsigned { kWidth = 1, kHeight = 2 };
    struct Entry {
        int id;
        unsigned stretch;
    };

    // Notes the controls' rectangles and the client size now.
    void Record(HWND dialog, std::initializer_list<Entry> entries);
    // Lays the recorded controls out for a client area of this size.
    void Apply(int clientWidth, int clientHeight) const;

private:
    struct Control {
        HWND window;
        unsigned stretch;
        RECT rect;  // in the dialog's client coordinates; a combo box's with its dropped height
    };
    SIZE client_{};
    std::vector<Control> controls_;
};

}  // namespace wisp::win32
