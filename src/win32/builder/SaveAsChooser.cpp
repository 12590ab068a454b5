#include <windows.h>
#include <commdlg.h>

#include "win32/builder/SaveAsChooser.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {

std::optional<std::string> SaveAsChooser::ChooseCompiledFile() {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFilter = L"CHM Files (*.chm)\0*.chm\0All Files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"chm";
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&dialog)) {
        return std::nullopt;  // cancelled, or the dialog could not open
    }
    return WideToUtf8(path);
}

}  // namespace wisp::win32
