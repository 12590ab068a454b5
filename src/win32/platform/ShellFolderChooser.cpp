#include "win32/platform/ShellFolderChooser.h"

#include <shlobj.h>

#include <memory>

#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

}  // namespace

std::optional<std::string> ShellFolderChooser::ChooseFolder(std::string_view instruction) {
    std::wstring title = Utf8ToWide(instruction);
    wchar_t displayName[MAX_PATH] = {};  // asked for by the picker, not used
    BROWSEINFOW info{};
    info.hwndOwner = owner_;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = 0;
    std::unique_ptr<ITEMIDLIST, ItemListFree> chosen(::SHBrowseForFolderW(&info));
    if (!chosen) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), path)) {
        return std::string();  // a choice such as the printers has no file-system path
    }
    return WideToUtf8(path);
}

}  // namespace wisp::win32
