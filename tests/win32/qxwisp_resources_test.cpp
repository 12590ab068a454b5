#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "QXWispModule.h"

namespace wisp::test {
namespace {

// The bytes of a resource of the module; empty when it is missing.
std::string ResourceText(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC resource = ::FindResourceW(module, name, type);
    if (!resource) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    const char* data = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    return data ? std::string(data, ::SizeofResource(module, resource)) : std::string();
}

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Loaded()) << "cannot load QXWisp.DLL"; }
    QXWispModule module;
};

TEST_F(ResourcesTest, ContextMenuPagesCollectTheirWindowWithTheirStyle) {
    struct Case {
        const wchar_t* name;
        const char* call;
        const char* otherCall;
    } cases[] = {
        {L"SAVEPAGE.HTM", "Collect(parentwin, 1)", "Collect(parentwin, 2)"},
        {L"SAVESEL.HTM", "Collect(parentwin, 2)", "Collect(parentwin, 1)"},
    };
    for (const Case& c : cases) {
        std::string page = ResourceText(module.Handle(), c.name, MAKEINTRESOURCEW(23));
        EXPECT_NE(page.find(c.call), std::string::npos) << "missing HTML resource or call";
        EXPECT_EQ(page.find(c.otherCall), std::string::npos);
    }
}

TEST_F(ResourcesTest, CarriesBothIconSizes) {
    for (int icon : {201, 202}) {
        for (int size : {16, 32}) {
            HICON loaded = static_cast<HICON>(
                ::LoadImageW(module.Handle(), MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, 0));
            EXPECT_NE(loaded, nullptr) << icon << " at " << size;
            ICONINFO info{};
            if (loaded && ::GetIconInfo(loaded, &info)) {
                BITMAP bitmap{};
                ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
                EXPECT_EQ(bitmap.bmWidth, size);
                ::DeleteObject(info.hbmColor);
                ::DeleteObject(info.hbmMask);
            }
            if (loaded) {
                ::DestroyIcon(loaded);
            }
        }
    }
}

}  // namespace
}  // namespace wisp::test
