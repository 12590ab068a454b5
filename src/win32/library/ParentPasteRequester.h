#pragma once

#include <windows.h>

#include "core/library/TreeHandOffs.h"

// The tree's Paste entry on Windows: the tree asks its host window with the paste message and
// waits until the host has pasted.
namespace wisp::win32 {

inline constexpr UINT WM_PASTE_REQUEST = WM_USER + 100;

class ParentPasteRequester final : public IPasteRequester {
public:
    void SetTree(HWND tree) { tree_ = tree; }
    void RequestPaste() override {
        if (HWND host = tree_ ? ::GetParent(tree_) : nullptr) {
            ::SendMessageW(host, WM_PASTE_REQUEST, 0, 0);
        }
    }

private:
    HWND tree_ = nullptr;
};

}  // namespace wisp::win32
