#pragma once

#include <string>

// What a build needs of the content tree's selected item, taken from the tree when the
// build command starts.
namespace wisp {

// The item's kind as the tree stores it in the item's data.
enum class BuildItemKind { Page = 1, Folder = 2 };

struct BuildItem {
    BuildItemKind kind = BuildItemKind::Folder;
    std::string label;         // the item's label in the tree
    std::string targetFolder;  // the tree's GetTargetFolder of the item, in its long form
    // The book the item is part of, whose pages outside it its links may name; empty: the
    // item is taken for the whole book.
    std::string bookFolder{};
};

}  // namespace wisp
