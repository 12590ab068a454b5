#pragma once

#include <string>

#include "core/platform/HelpCompiler.h"

// The help compiler on Linux: runs chmcmd on the project, waits for it and reads the result
// back. chmcmd may report success for a project it could not compile, so only the compiled
// file itself counts.
namespace wisp {

class ChmcmdCompiler final : public IHelpCompiler {
public:
    explicit ChmcmdCompiler(std::string program = "chmcmd");

    std::optional<std::string> BatchCompilerFolder() const override;
    std::string ToCompilerText(std::string_view utf8) const override;
    CompileResult Compile(const HelpProject& project) override;

private:
    std::string program_;
};

}  // namespace wisp
