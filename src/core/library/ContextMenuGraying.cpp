#include "core/library/ContextMenuGraying.h"

#include "core/library/TreeCommands.h"

namespace wisp {

std::vector<int> GrayedCommands(ContextMenuTarget target) {
    switch (target) {
        case ContextMenuTarget::NoItem: {
            std::vector<int> grayed;
            for (TreeCommand command : kContextMenuCommands) {
                if (command != kRefreshCommand) {
                    grayed.push_back(command);
                }
            }
            return grayed;
        }
        case ContextMenuTarget::TopItem:
            return {kDeleteFolderCommand, kEditPageCommand, kDeletePageCommand};
        case ContextMenuTarget::Folder:
            return {kEditPageCommand, kDeletePageCommand};
        case ContextMenuTarget::Page:
            return {kNewFolderCommand, kDeleteFolderCommand, kBuildCommand};
    }
    return {};
}

}  // namespace wisp
