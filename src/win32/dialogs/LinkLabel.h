#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "win32/platform/UniqueGuiHandles.h"

// A static control turned into a link: drawn underlined in the link colour (the visited
// colour once opened), a hand cursor over the link, a tooltip with the target, and a click,
// Enter or Space opening the target through the shell.
namespace wisp::win32 {

// Opens a link's target for the label's window; true when it was opened. The shell's
// ShellExecuteW "open" unless a test puts another in its place.
using LinkOpener = std::function<bool(HWND label, std::string_view target)>;

class CLinkLabel {
public:
    CLinkLabel() = default;
    ~CLinkLabel();
    CLinkLabel(const CLinkLabel&) = delete;
    CLinkLabel& operator=(const CLinkLabel&) = delete;

    // Takes over a static control until it is destroyed; false when it cannot.
    bool SubclassWindow(HWND control);
    // Makes the control a link: style, cursor, font, label and target, tooltip, colours.
    void Init();

    void SetLinkText(std::string_view text);
    void SetLinkTarget(std::string_view target);
    // Opens the target; on success the link turns to the visited colour.
    bool Navigate();
    void SetOpener(LinkOpener opener) { opener_ = std::move(opener); }

    HWND Handle() const { return window_; }
    bool Visited() const { return visited_; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void Detach();

    const std::wstring& ShownText() const;
    UINT AlignmentFormat() const;
    void ComputeLinkRect();
    void CreateTooltip();
    void UpdateTooltip();
    void Paint();
    void EraseBackground(HDC dc);
    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    bool InLink(LPARAM clientPoint) const;

    HWND window_ = nullptr;
    std::optional<std::wstring> label_;
    std::optional<std::wstring> target_;
    UniqueCursor cursor_;
    UniqueFont font_;
    RECT linkRect_{};
    bool paintLabel_ = true;
    bool visited_ = false;
    COLORREF linkColor_ = RGB(0, 0, 255);
    COLORREF visitedColor_ = RGB(128, 0, 128);
    UniqueWindow tooltip_;
    LinkOpener opener_;
};

}  // namespace wisp::win32
