#include "win32/builder/ShellBuildCommand.h"

#include "core/library/NameChecks.h"

namespace wisp::win32 {

CShellBuildCommand::CShellBuildCommand(IFileSystem& files, IPrompts& prompts,
                                       ISaveFileChooser& chooser, HelpCompilerFactory makeCompiler)
    : files_(files), prompts_(prompts), chooser_(chooser), makeCompiler_(std::move(makeCompiler)) {}

void CShellBuildCommand::BuildBook(CContentTree& tree, TreeItem selected) {
    std::unique_ptr<IHelpCompiler> compiler = makeCompiler_();
    CTreeBuildCommand command(files_, *compiler, chooser_);
    command.BuildBook(tree, selected);
    const BuildResult& result = command.LastResult();
    if (result.status == BuildStatus::Failed) {
        prompts_.Show(result.message, kWispCaption, PromptStyle::Ok);
    }
}

}  // namespace wisp::win32
