#include <windows.h>

#include "win32/platform/RegistrySettingsStore.h"

#include "win32/platform/UniqueHandle.h"
#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

HKEY RootOf(SettingsHive hive) {
    return hive == SettingsHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

REGSAM RightsOf(KeyAccess access) {
    switch (access) {
        case KeyAccess::Read:
            return KEY_READ;
        case KeyAccess::Write:
            return KEY_WRITE;
        case KeyAccess::Full:
            return KEY_ALL_ACCESS;
    }
    return KEY_READ;
}

}  // namespace

std::optional<std::string> RegistrySettingsStore::ReadString(SettingsHive hive,
                                                             std::string_view keyPath,
                                                             std::string_view valueName,
                                                             KeyAccess access) const {
    UniqueKey key;
    if (::RegOpenKeyExW(RootOf(hive), Utf8ToWide(keyPath).c_str(), 0, RightsOf(access),
                        key.Put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring name = Utf8ToWide(valueName);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD capacity = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &capacity) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // The stored data may or may not end in a terminating zero.
    data.resize(capacity / sizeof(wchar_t));
    while (!data.empty() && data.back() == L'\0') {
        data.pop_back();
    }
    return WideToUtf8(data);
}

bool RegistrySettingsStore::WriteString(SettingsHive hive, std::string_view keyPath,
                                        std::string_view valueName, std::string_view value,
                                        KeyAccess access, bool withTerminatingZero) {
    std::wstring path = Utf8ToWide(keyPath);
    UniqueKey key;
    if (::RegOpenKeyExW(RootOf(hive), path.c_str(), 0, RightsOf(access), key.Put()) !=
            ERROR_SUCCESS &&
        ::RegCreateKeyExW(RootOf(hive), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          RightsOf(access), nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    std::wstring data = Utf8ToWide(value);
    DWORD bytes =
        static_cast<DWORD>((data.size() + (withTerminatingZero ? 1 : 0)) * sizeof(wchar_t));
    if (!withTerminatingZero) {
        // RegSetValueExW counts in a terminating zero that follows the data right after the
        // given size; a character that is not zero there keeps the value unterminated.
        data += L'~';
    }
    return ::RegSetValueExW(key.Get(), Utf8ToWide(valueName).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace wisp::win32
