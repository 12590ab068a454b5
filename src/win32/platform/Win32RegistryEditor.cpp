#include "win32/platform/Win32RegistryEditor.h"

#include <windows.h>

#include <string>

#include "win32/platform/UniqueHandle.h"
#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

UniqueKey OpenKey(RegistryRoot root, std::string_view path, REGSAM access) {
    UniqueKey key;
    ::RegOpenKeyExW(RootKey(root), Utf8ToWide(path).c_str(), 0, access, key.Put());
    return key;
}

}  // namespace

bool Win32RegistryEditor::CreateKey(RegistryRoot root, std::string_view path) {
    UniqueKey key;
    return ::RegCreateKeyExW(RootKey(root), Utf8ToWide(path).c_str(), 0, nullptr, 0,
                             KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr) == ERROR_SUCCESS;
}

bool Win32RegistryEditor::KeyExists(RegistryRoot root, std::string_view path) const {
    return static_cast<bool>(OpenKey(root, path, KEY_READ));
}

bool Win32RegistryEditor::HasSubKeys(RegistryRoot root, std::string_view path) const {
    UniqueKey key = OpenKey(root, path, KEY_READ);
    DWORD subKeys = 0;
    return key &&
           ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

bool Win32RegistryEditor::DeleteKey(RegistryRoot root, std::string_view path) {
    return ::RegDeleteKeyW(RootKey(root), Utf8ToWide(path).c_str()) == ERROR_SUCCESS;
}

bool Win32RegistryEditor::DeleteTree(RegistryRoot root, std::string_view path) {
    LSTATUS status = ::RegDeleteTreeW(RootKey(root), Utf8ToWide(path).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        // RegDeleteTree empties the key; the key itself goes here.
        ::RegDeleteKeyW(RootKey(root), Utf8ToWide(path).c_str());
        return true;
    }
    return false;
}

bool Win32RegistryEditor::SetString(RegistryRoot root, std::string_view path, std::string_view name,
                                    std::string_view value) {
    UniqueKey key = OpenKey(root, path, KEY_SET_VALUE);
    std::wstring wide = Utf8ToWide(value);
    return key && ::RegSetValueExW(key.Get(), Utf8ToWide(name).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(wide.c_str()),
                                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) ==
                      ERROR_SUCCESS;
}

bool Win32RegistryEditor::SetNumber(RegistryRoot root, std::string_view path, std::string_view name,
                                    std::uint32_t value) {
    UniqueKey key = OpenKey(root, path, KEY_SET_VALUE);
    DWORD number = value;
    return key && ::RegSetValueExW(key.Get(), Utf8ToWide(name).c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&number),
                                   sizeof(number)) == ERROR_SUCCESS;
}

bool Win32RegistryEditor::DeleteValue(RegistryRoot root, std::string_view path,
                                      std::string_view name) {
    UniqueKey key = OpenKey(root, path, KEY_SET_VALUE);
    return key && ::RegDeleteValueW(key.Get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace wisp::win32
