#pragma once

#include <vector>

// Which entries of the content tree's context menu are grayed, by what the right click hit.
namespace wisp {

enum class ContextMenuTarget { NoItem, TopItem, Folder, Page };

// The command ids to gray; every other entry stays enabled.
std::vector<int> GrayedCommands(ContextMenuTarget target);

}  // namespace wisp
