#pragma once

#include <string>
#include <vector>

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
    CompileResult CompileStaged(const StagedHelpProject& project) override;
    // Through iconv, with the transliteration of the C.UTF-8 locale for what the code page
    // lacks.
    std::optional<std::string> ToCodePage(std::string_view utf8, unsigned codePage,
                                          bool& exact) const override;

private:
    // Runs the compiler on `projectFile`, which names `output` as its compiled file, and
    // checks the result with `check`; then puts it in place as `compiledFile`. When the
    // compiler fails, `sources` (files or folders) are looked through for one it could not
    // read, which the failure names.
    template <typename Check>
    CompileResult Run(const std::string& projectFile, const std::string& output,
                      const std::string& compiledFile, const std::vector<std::string>& sources,
                      Check check);

    std::string program_;
};

}  // namespace wisp
