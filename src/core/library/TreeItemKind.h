#pragma once

// What a tree item stands for, kept as the item's application data, and the images of each.
namespace wisp {

enum ItemKind : int { kPageItem = 1, kFolderItem = 2 };

inline constexpr int kFolderImage = 0;          // a closed book
inline constexpr int kSelectedFolderImage = 1;  // an open book
inline constexpr int kPageImage = 10;

}  // namespace wisp
