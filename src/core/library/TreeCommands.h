#pragma once

// Commands of the content tree's context menu, by their command ids.
namespace wisp {

enum TreeCommand : int {
    kRefreshCommand = 32768,
    kNewFolderCommand = 32771,
    kDeleteFolderCommand = 32773,
    kBuildCommand = 32775,
    kDeletePageCommand = 32777,
    kRenameCommand = 32779,
    kPasteCommand = 32791,
    kEditPageCommand = 57600,
};

// The menu's entries, top to bottom, separators left out.
inline constexpr TreeCommand kContextMenuCommands[] = {
    kEditPageCommand,     kRenameCommand,     kPasteCommand, kNewFolderCommand,
    kDeleteFolderCommand, kDeletePageCommand, kBuildCommand, kRefreshCommand,
};

}  // namespace wisp
