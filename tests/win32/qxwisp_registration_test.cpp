#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "QXWispModule.h"
#include "support/TempFolder.h"
#include "win32/platform/WideString.h"
#include "win32/platform/UniqueHandle.h"

namespace wisp::test {
namespace {

using Microsoft::WRL::ComPtr;
using win32::UniqueKey;

constexpr wchar_t kBandClsid[] = L"{7E3A51C2-9D84-4B6F-A1E2-35C8D0F4B961}";
constexpr wchar_t kDropTargetClsid[] = L"{4C92E7A0-61D3-4F28-9B5E-C7A1038D2F64}";
constexpr wchar_t kCollectorClsid[] = L"{A05D3B7E-2C91-4E64-8F13-D92B6E4A0C57}";
constexpr wchar_t kLibid[] = L"{39F1C6D2-7A5E-4B83-B0C4-E16D85A29F3B}";
// The type library is registered for the platform it was compiled for.
#ifdef _WIN64
constexpr wchar_t kTypeLibPlatform[] = L"\\409\\win64";
#else
constexpr wchar_t kTypeLibPlatform[] = L"\\409\\win32";
#endif
constexpr wchar_t kPageEntry[] =
    L"SOFTWARE\\Microsoft\\Internet Explorer\\MenuExt\\Save the page to Wisp";

std::wstring ClsidKey(const wchar_t* clsid, const wchar_t* sub = nullptr) {
    std::wstring key = std::wstring(L"CLSID\\") + clsid;
    return sub ? key + L"\\" + sub : key;
}

UniqueKey OpenKey(HKEY root, const std::wstring& path) {
    UniqueKey key;
    ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put());
    return key;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    return static_cast<bool>(OpenKey(root, path));
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name) {
    UniqueKey key = OpenKey(root, path);
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (!key ||
        ::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

// Runs the system's regsvr32 on the DLL, silently; its exit code.
DWORD RunRegsvr32(bool unregister) {
    std::wstring command = L"regsvr32.exe /s ";
    if (unregister) {
        command += L"/u ";
    }
    command += L"\"" + QXWispDllPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return static_cast<DWORD>(-1);
    }
    win32::UniqueKernelObject processHandle(process.hProcess);
    win32::UniqueKernelObject threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = static_cast<DWORD>(-1);
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

std::wstring DllFolder() {
    std::wstring path = QXWispDllPath();
    return path.substr(0, path.find_last_of(L'\\'));
}

HRESULT CallUnregisterServer() {
    QXWispModule module;
    auto unregister = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module.Handle(), "DllUnregisterServer")));
    return unregister ? unregister() : E_FAIL;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CallUnregisterServer(), S_OK);
        ASSERT_EQ(RunRegsvr32(false), 0u) << "regsvr32 could not register the DLL";
    }
    void TearDown() override { RunRegsvr32(true); }
};

const wchar_t* const kClsids[] = {kBandClsid, kDropTargetClsid, kCollectorClsid};

// The scripts' values and their rules are the interpreter's; what is ours is that
// registration runs them with the module's path and folder and registers the type library
// where it lies, and that unregistration takes both away again.
TEST_F(RegistrationTest, RegistersWithTheModulesPathAndUnregistersAgain) {
    const std::wstring dll = QXWispDllPath();
    for (const wchar_t* clsid : kClsids) {
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ClsidKey(clsid, L"InprocServer32"), nullptr), dll)
            << clsid;
    }
    std::wstring typeLib = std::wstring(L"TypeLib\\") + kLibid + L"\\1.0";
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, typeLib + kTypeLibPlatform, nullptr), dll);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, typeLib + L"\\HELPDIR", nullptr), DllFolder() + L"\\");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kPageEntry, nullptr),
              L"res://" + DllFolder() + L"\\QXWisp.DLL/SavePage.htm");

    ASSERT_EQ(RunRegsvr32(true), 0u);
    for (const wchar_t* clsid : kClsids) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClsidKey(clsid))) << clsid;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kPageEntry));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibid));
    EXPECT_EQ(CallUnregisterServer(), S_OK) << "with nothing registered";
}

// The bytes of a resource of the DLL; empty when it is missing.
std::string ResourceBytes(const wchar_t* name, const wchar_t* type) {
    QXWispModule module;
    HRSRC resource = ::FindResourceW(module.Handle(), name, type);
    HGLOBAL loaded = resource ? ::LoadResource(module.Handle(), resource) : nullptr;
    const char* data = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    return data ? std::string(data, ::SizeofResource(module.Handle(), resource)) : std::string();
}

// The pages the registered context-menu entries open call the collector with their style.
TEST(ContextMenuPages, CollectTheirWindowWithTheirStyle) {
    struct Case {
        const wchar_t* name;
        const char* call;
        const char* otherCall;
    } cases[] = {
        {L"SAVEPAGE.HTM", "Collect(parentwin, 1)", "Collect(parentwin, 2)"},
        {L"SAVESEL.HTM", "Collect(parentwin, 2)", "Collect(parentwin, 1)"},
    };
    for (const Case& c : cases) {
        std::string page = ResourceBytes(c.name, MAKEINTRESOURCEW(23));
        EXPECT_NE(page.find(c.call), std::string::npos) << "missing HTML resource or call";
        EXPECT_EQ(page.find(c.otherCall), std::string::npos);
    }
}

// A copy of the DLL whose TYPELIB resource holds no type library.
bool CopyWithoutTypeLibrary(const std::wstring& copy) {
    static char junk[] = "junk";
    if (!::CopyFileW(QXWispDllPath().c_str(), copy.c_str(), FALSE)) {
        return false;
    }
    HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
    return update &&
           ::UpdateResourceW(update, L"TYPELIB", MAKEINTRESOURCEW(1),
                             MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), junk, 4) &&
           ::EndUpdateResourceW(update, FALSE);
}

TEST(RegistrationFallback, TypeLibraryComesFromATlbFileBesideAModuleWithoutOne) {
    ComApartment apartment;
    ASSERT_EQ(CallUnregisterServer(), S_OK);
    std::string bytes = ResourceBytes(MAKEINTRESOURCEW(1), L"TYPELIB");
    ASSERT_FALSE(bytes.empty());

    TempFolder folder;
    std::wstring copy = win32::Utf8ToWide(folder.Path("Copy.DLL"));
    ASSERT_TRUE(CopyWithoutTypeLibrary(copy));
    ComPtr<ITypeLib> none;
    ASSERT_TRUE(FAILED(::LoadTypeLibEx(copy.c_str(), REGKIND_NONE, &none)));

    HMODULE module = ::LoadLibraryW(copy.c_str());
    ASSERT_TRUE(module);
    auto entry = [module](const char* name) {
        return reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
    };
    auto registerServer = entry("DllRegisterServer");
    auto unregisterServer = entry("DllUnregisterServer");
    ASSERT_TRUE(registerServer && unregisterServer);

    EXPECT_TRUE(FAILED(registerServer())) << "no type library anywhere";

    folder.MakeFile("Copy.tlb", bytes);
    EXPECT_EQ(registerServer(), S_OK);
    std::wstring typeLib = std::wstring(L"TypeLib\\") + kLibid + L"\\1.0";
    std::wstring tlb = win32::Utf8ToWide(folder.Path("Copy.tlb"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, typeLib + kTypeLibPlatform, nullptr), tlb)
        << "the file that holds the library";
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, typeLib + L"\\HELPDIR", nullptr),
              win32::Utf8ToWide(folder.Path()) + L"\\");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ClsidKey(kCollectorClsid, L"InprocServer32"), nullptr),
              copy);

    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibid));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClsidKey(kCollectorClsid)));
    ::FreeLibrary(module);
}

}  // namespace
}  // namespace wisp::test
