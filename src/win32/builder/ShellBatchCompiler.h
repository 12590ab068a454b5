#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/platform/HelpCompiler.h"
#include "win32/builder/BuildingDlg.h"

// The help compiler on Windows: the batch file written beside the project runs hhc.exe and
// then opens the result in the viewer. It is started through the shell, hidden, and nobody
// waits for it; the "Building" window stays on screen for a fixed time meanwhile.
namespace wisp::win32 {

inline constexpr std::string_view kMissingCompilerMessage =
    "The HTML Help compiler (hhc.exe) was not found, so the eBook cannot be built.\n"
    "Install HTML Help Workshop, then build again.";

class ShellBatchCompiler final : public IHelpCompiler {
public:
    static constexpr DWORD kBuildingWaitMs = 15000;

    // Looks for hhc.exe in `compilerFolders` in order; `resources` holds the building window.
    ShellBatchCompiler(std::vector<std::string> compilerFolders, HINSTANCE resources,
                       DWORD buildingWaitMs);

    std::optional<std::string> MissingCompilerMessage() const override;
    std::optional<std::string> BatchCompilerFolder() const override;
    // hhc.exe reads its project files in the ANSI code page.
    std::string ToCompilerText(std::string_view utf8) const override;
    CompileResult Compile(const HelpProject& project) override;

    HWND BuildingWindow() const { return building_.Handle(); }

private:
    std::optional<std::string> compilerFolder_;
    CBuildingDlg building_;
    DWORD buildingWaitMs_;
};

// Where hhc.exe may be: the system folder, then where HTML Help Workshop installs it.
std::vector<std::string> HelpCompilerFolders();

}  // namespace wisp::win32
