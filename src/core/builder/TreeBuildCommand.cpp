#include "core/builder/TreeBuildCommand.h"

#include "core/library/ContentTree.h"
#include "core/library/TreeItemKind.h"

namespace wisp {

std::optional<BuildItem> BuildItemOf(const CContentTree& tree, TreeItem item) {
    if (item == kNoTreeItem) {
        return std::nullopt;
    }
    BuildItem built;
    built.kind = tree.KindOf(item) == kPageItem ? BuildItemKind::Page : BuildItemKind::Folder;
    built.label = tree.LabelOf(item);
    tree.GetTargetFolder(item, built.targetFolder);
    return built;
}

void CTreeBuildCommand::BuildBook(CContentTree& tree, TreeItem selected) {
    // The item is taken when the command starts; the dialog comes first in every case, even
    // when a page is selected and nothing will be built.
    CBookBuilder builder(files_, compiler_, BuildItemOf(tree, selected));
    lastResult_ = BuildResult{};
    std::optional<std::string> chmPath = chooser_.ChooseCompiledFile();
    if (!chmPath) {
        return;
    }
    lastResult_ = builder.BuildBook(*chmPath);
}

}  // namespace wisp
