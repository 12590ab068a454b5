#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/library/LibraryStore.h"
#include "win32/platform/RegistrySettingsStore.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

// The raw data of a registry value, to see how the adapter stored it.
std::wstring RawValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD* bytes) {
    UniqueKey handle;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) {
        return L"<no key>";
    }
    wchar_t buffer[512] = {};
    DWORD type = 0;
    *bytes = sizeof buffer;
    if (::RegQueryValueExW(handle.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return L"<no value>";
    }
    return std::wstring(buffer, *bytes / sizeof(wchar_t));
}

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wisp");
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo");
    }
    RegistrySettingsStore store;
};

TEST_F(RegistrySettingsStoreTest, LibraryRootIsStoredWithoutTerminatingZero) {
    EXPECT_EQ(ReadBookName(store), "");
    ASSERT_TRUE(WriteLibraryRoot(store, "C:\\Users\\r\\My eBooks"));
    DWORD bytes = 0;
    std::wstring raw = RawValue(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath", &bytes);
    EXPECT_EQ(raw, L"C:\\Users\\r\\My eBooks");
    EXPECT_EQ(bytes, raw.size() * sizeof(wchar_t));
    EXPECT_EQ(store.ReadString(SettingsHive::CurrentUser, "Software\\Wisp", "eBookPath",
                               KeyAccess::Read),
              "C:\\Users\\r\\My eBooks");
}

TEST_F(RegistrySettingsStoreTest, BookNameIsStoredWithItsTerminatingZero) {
    std::string name = "Caf\xC3\xA9 Reisen";
    ASSERT_TRUE(WriteBookName(store, name));
    DWORD bytes = 0;
    std::wstring raw = RawValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName", &bytes);
    ASSERT_FALSE(raw.empty());
    EXPECT_EQ(raw.back(), L'\0');
    EXPECT_EQ(raw.substr(0, raw.size() - 1), Utf8ToWide(name));
    EXPECT_EQ(ReadBookName(store), name);

    ASSERT_TRUE(WriteBookName(store, "Short"));
    EXPECT_EQ(ReadBookName(store), "Short");
}

TEST_F(RegistrySettingsStoreTest, ANonStringValueReadsAsMissing) {
    UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wisp", 0, nullptr, 0, KEY_WRITE,
                                nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    DWORD number = 7;
    ::RegSetValueExW(key.Get(), L"eBookPath", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number),
                     sizeof number);
    EXPECT_FALSE(store.ReadString(SettingsHive::CurrentUser, "Software\\Wisp", "eBookPath",
                                  KeyAccess::Read));
}

}  // namespace
}  // namespace wisp::win32
