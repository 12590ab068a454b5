#pragma once

#include "core/platform/HelpCompiler.h"

// The help compiler on Windows: the batch file written beside the project runs hhc.exe from
// the system folder and then opens the result in the viewer. It is started through the shell,
// hidden, and nobody waits for it.
namespace wisp::win32 {

class ShellBatchCompiler final : public IHelpCompiler {
public:
    std::optional<std::string> BatchCompilerFolder() const override;
    // hhc.exe reads its project files in the ANSI code page.
    std::string ToCompilerText(std::string_view utf8) const override;
    CompileResult Compile(const HelpProject& project) override;
};

}  // namespace wisp::win32
