#include "win32/band/BandDropDown.h"

#include "win32/platform/UniqueGuiHandles.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {

void CBandDropDown::SetDropDownStyles() const {
    if (!toolbar_) {
        return;
    }
    for (int command : {ID_NEW_MENU, ID_HELP_MENU}) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_STYLE;
        info.fsStyle = BTNS_WHOLEDROPDOWN;
        ::SendMessageW(toolbar_, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
    }
}

bool CBandDropDown::OnDropDown(const NMTOOLBARW& notification, HINSTANCE resources,
                               HWND commandTarget) const {
    int menuId = 0;
    if (notification.iItem == ID_HELP_MENU) {
        menuId = IDR_HELP_MENU;
    } else if (notification.iItem == ID_NEW_MENU) {
        menuId = IDR_NEW_MENU;
    } else {
        return false;
    }
    HWND toolbar = notification.hdr.hwndFrom;
    ::SetFocus(toolbar);
    LRESULT index = ::SendMessageW(toolbar, TB_COMMANDTOINDEX, notification.iItem, 0);
    RECT button{};
    ::SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);

    UniqueMenu menu(::LoadMenuW(resources, MAKEINTRESOURCEW(menuId)));
    HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) {
        return true;  // a menu that cannot be loaded is not shown
    }
    // The command comes back here and goes on as if the toolbar had passed it on.
    int command = static_cast<int>(
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                         button.left, button.bottom, 0, toolbar, nullptr));
    if (command != 0) {
        ::SendMessageW(commandTarget, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    return true;
}

}  // namespace wisp::win32
