#pragma once

#include <windows.h>
#include <commctrl.h>

// The toolbar's two drop-down buttons, New (32772) and Help (32770), and the menus they open.
namespace wisp::win32 {

class CBandDropDown {
public:
    void SetToolbar(HWND toolbar) { toolbar_ = toolbar; }
    HWND Toolbar() const { return toolbar_; }

    // Gives both buttons the drop-down style (the whole button opens its menu).
    void SetDropDownStyles() const;

    // TBN_DROPDOWN: opens the button's menu below it and sends the chosen command to
    // `commandTarget` as WM_COMMAND. False for a button that is not one of the two.
    bool OnDropDown(const NMTOOLBARW& notification, HINSTANCE resources, HWND commandTarget) const;

private:
    HWND toolbar_ = nullptr;
};

}  // namespace wisp::win32
