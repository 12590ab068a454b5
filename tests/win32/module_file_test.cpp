#include <windows.h>

#include <gtest/gtest.h>

#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"

namespace wisp {
namespace {

TEST(ModuleFolder, IsTheFolderOfTheModuleHoldingTheCode) {
    // The code is linked into this test program, so its module is the program.
    auto module = CreateNativeModuleLocation();
    std::string path = module->ModuleFilePath();
    EXPECT_NE(path.find("wisp_win32_tests.exe"), std::string::npos) << path;
    EXPECT_EQ(GetModuleFolder(*module) + "\\wisp_win32_tests.exe", path);
}

}  // namespace
}  // namespace wisp
