#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "core/library/ContextMenuGraying.h"
#include "core/library/TreeCommands.h"

namespace wisp {
namespace {

// The bar's tests reach this rule through the real tree's hit test and menu, for a page and
// for empty space; here it is whole.
TEST(ContextMenuGraying, ByWhatWasHit) {
    const std::pair<ContextMenuTarget, std::set<int>> cases[] = {
        {ContextMenuTarget::NoItem,
         {kEditPageCommand, kRenameCommand, kPasteCommand, kNewFolderCommand, kDeleteFolderCommand,
          kDeletePageCommand, kBuildCommand}},
        {ContextMenuTarget::TopItem, {kDeleteFolderCommand, kEditPageCommand, kDeletePageCommand}},
        {ContextMenuTarget::Folder, {kEditPageCommand, kDeletePageCommand}},
        {ContextMenuTarget::Page, {kNewFolderCommand, kDeleteFolderCommand, kBuildCommand}},
    };
    for (const auto& [target, grayed] : cases) {
        std::vector<int> commands = GrayedCommands(target);
        EXPECT_EQ(std::set<int>(commands.begin(), commands.end()), grayed)
            << static_cast<int>(target);
    }
}

}  // namespace
}  // namespace wisp
