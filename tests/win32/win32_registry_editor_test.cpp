#include <windows.h>

#include <gtest/gtest.h>

#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32RegistryEditor.h"

namespace wisp {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr const char* kTestKey = "Software\\WispRegistryEditorTest";

class Win32RegistryEditorTest : public ::testing::Test {
protected:
    void SetUp() override { registry.DeleteTree(kUser, kTestKey); }
    void TearDown() override { registry.DeleteTree(kUser, kTestKey); }

    win32::Win32RegistryEditor registry;
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

    win32::UniqueKey key;
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

}  // namespace
}  // namespace wisp
