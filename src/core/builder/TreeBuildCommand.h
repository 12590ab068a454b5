#pragma once

#include "core/builder/BookBuilder.h"
#include "core/library/TreeHandOffs.h"
#include "core/platform/SaveFileChooser.h"

// The content tree's build command: asks for the compiled file, then builds the selected book
// or folder into it.
namespace wisp {

class CTreeBuildCommand final : public IBuildCommand {
public:
    CTreeBuildCommand(IFileSystem& files, IHelpCompiler& compiler, ISaveFileChooser& chooser)
        : files_(files), compiler_(compiler), chooser_(chooser) {}

    void BuildBook(CContentTree& tree, TreeItem selected) override;

    // What the last command gave; NothingToBuild when the reader cancelled.
    const BuildResult& LastResult() const { return lastResult_; }

private:
    IFileSystem& files_;
    IHelpCompiler& compiler_;
    ISaveFileChooser& chooser_;
    BuildResult lastResult_;
};

// The builder's view of a tree item: its kind, label and target folder; none for no item.
std::optional<BuildItem> BuildItemOf(const CContentTree& tree, TreeItem item);

}  // namespace wisp
