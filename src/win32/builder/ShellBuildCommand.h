#pragma once

#include <functional>
#include <memory>

#include "core/builder/TreeBuildCommand.h"
#include "core/platform/Prompts.h"

// The bar's build command on Windows: the Save As dialog, then the build with its Building
// window; a build that cannot start (no compiler, a project file that cannot be written) is
// told in a message box instead of leaving an empty compiled file behind unexplained.
namespace wisp::win32 {

using HelpCompilerFactory = std::function<std::unique_ptr<IHelpCompiler>()>;

class CShellBuildCommand final : public IBuildCommand {
public:
    // A compiler is made for each command: its Building window lives as long as the build.
    CShellBuildCommand(IFileSystem& files, IPrompts& prompts, ISaveFileChooser& chooser,
                       HelpCompilerFactory makeCompiler);

    void BuildBook(CContentTree& tree, TreeItem selected) override;

private:
    IFileSystem& files_;
    IPrompts& prompts_;
    ISaveFileChooser& chooser_;
    HelpCompilerFactory makeCompiler_;
};

}  // namespace wisp::win32
