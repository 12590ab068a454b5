#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"
#include "win32/platform/RegistrySettingsStore.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/WideString.h"
#include "win32/platform/Win32RegistryEditor.h"

// The platform's registry editor and settings store on the real registry, and the module's
// own file.
namespace wisp::win32 {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr const char* kTestKey = "Software\\WispRegistryEditorTest";

class Win32RegistryEditorTest : public ::testing::Test {
protected:
    void SetUp() override { registry.DeleteTree(kUser, kTestKey); }
    void TearDown() override { registry.DeleteTree(kUser, kTestKey); }

    Win32RegistryEditor registry;
};

TEST_F(Win32RegistryEditorTest, KeysWithSubKeysAreDeletedOnlyAsATree) {
    std::string inner = std::string(kTestKey) + "\\A\\B";
    ASSERT_TRUE(registry.CreateKey(kUser, inner));
    EXPECT_TRUE(registry.KeyExists(kUser, std::string(kTestKey) + "\\a"))
        << "names compare without case";
    EXPECT_TRUE(registry.HasSubKeys(kUser, std::string(kTestKey) + "\\A"));
    EXPECT_FALSE(registry.HasSubKeys(kUser, inner));
    EXPECT_FALSE(registry.DeleteKey(kUser, std::string(kTestKey) + "\\A"));
    EXPECT_TRUE(registry.KeyExists(kUser, inner));

    EXPECT_TRUE(registry.DeleteTree(kUser, std::string(kTestKey) + "\\A"));
    EXPECT_FALSE(registry.KeyExists(kUser, std::string(kTestKey) + "\\A"));
    EXPECT_TRUE(registry.DeleteTree(kUser, std::string(kTestKey) + "\\Missing"));
    EXPECT_FALSE(registry.HasSubKeys(kUser, std::string(kTestKey) + "\\Missing"));
}

TEST_F(Win32RegistryEditorTest, ValuesKeepTheirTypesAndNonAsciiText) {
    ASSERT_TRUE(registry.CreateKey(kUser, kTestKey));
    ASSERT_TRUE(registry.SetString(kUser, kTestKey, "", "default"));
    ASSERT_TRUE(registry.SetString(kUser, kTestKey, "Name", "Caf\xC3\xA9"));
    ASSERT_TRUE(registry.SetNumber(kUser, kTestKey, "Contexts", 16));
    EXPECT_FALSE(registry.SetString(kUser, std::string(kTestKey) + "\\Missing", "X", "y"));

    UniqueKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\WispRegistryEditorTest", 0, KEY_READ,
                              key.Put()),
              ERROR_SUCCESS);
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    DWORD type = 0;
    ASSERT_EQ(::RegQueryValueExW(key.Get(), L"Name", nullptr, &type, reinterpret_cast<BYTE*>(text),
                                 &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"Caf\u00E9");
    DWORD number = 0;
    size = sizeof(number);
    ASSERT_EQ(::RegQueryValueExW(key.Get(), L"Contexts", nullptr, &type,
                                 reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 16u);

    EXPECT_TRUE(registry.DeleteValue(kUser, kTestKey, "Name"));
    EXPECT_FALSE(registry.DeleteValue(kUser, kTestKey, "Name"));
}

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

// The root is stored without its terminating zero, the book with it.
TEST_F(RegistrySettingsStoreTest, RootIsStoredWithoutTerminatingZeroTheBookWithIt) {
    EXPECT_EQ(ReadBookName(store), "");
    ASSERT_TRUE(WriteLibraryRoot(store, "C:\\Users\\r\\My eBooks"));
    DWORD bytes = 0;
    std::wstring raw = RawValue(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath", &bytes);
    EXPECT_EQ(raw, L"C:\\Users\\r\\My eBooks");
    EXPECT_EQ(bytes, raw.size() * sizeof(wchar_t));

    std::string name = "Caf\xC3\xA9 Reisen";
    ASSERT_TRUE(WriteBookName(store, name));
    raw = RawValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName", &bytes);
    EXPECT_EQ(raw, Utf8ToWide(name) + L'\0');
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

TEST(ModuleFolder, IsTheFolderOfTheModuleHoldingTheCode) {
    // The code is linked into this test program, so its module is the program.
    auto module = CreateNativeModuleLocation();
    std::string path = module->ModuleFilePath();
    EXPECT_NE(path.find("wisp_win32_tests.exe"), std::string::npos) << path;
    EXPECT_EQ(GetModuleFolder(*module) + "\\wisp_win32_tests.exe", path);
}

}  // namespace
}  // namespace wisp::win32
