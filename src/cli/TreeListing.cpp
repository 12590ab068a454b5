#include "cli/TreeListing.h"

#include <algorithm>
#include <filesystem>

#include "cli/JsonText.h"
#include "core/library/TreeItemKind.h"

namespace wisp::cli {
namespace {

// The folder's own identity on disk, links resolved; empty when it cannot be found.
std::filesystem::path ResolvedFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path() : resolved;
}

// `openedAbove` holds the folders of the item's ancestors: a link back to one of them is
// listed but not opened, which would repeat the tree below it without end.
ListedItem ReadItem(CContentTree& tree, MemoryTreeControl& control, TreeItem item,
                    std::vector<std::filesystem::path>& openedAbove) {
    ListedItem listed;
    listed.name = tree.LabelOf(item);
    listed.isFolder = tree.KindOf(item) == kFolderItem;
    if (!listed.isFolder) {
        return listed;
    }
    std::filesystem::path folder = ResolvedFolder(tree.GetItemPath(item));
    if (!folder.empty() &&
        std::find(openedAbove.begin(), openedAbove.end(), folder) != openedAbove.end()) {
        return listed;
    }
    openedAbove.push_back(folder);
    control.Expand(item);
    for (TreeItem child : control.Children(item)) {
        listed.children.push_back(ReadItem(tree, control, child, openedAbove));
    }
    openedAbove.pop_back();
    return listed;
}

// A control character in a name (Linux allows any) would break the one-line-an-item layout.
std::string PrintableName(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return name;
}

void WriteTextLines(std::ostream& out, const ListedItem& item, std::size_t depth) {
    out << std::string(depth * 2, ' ') << PrintableName(item.name) << (item.isFolder ? "/" : "")
        << "\n";
    for (const ListedItem& child : item.children) {
        WriteTextLines(out, child, depth + 1);
    }
}

void WriteJsonItem(std::ostream& out, const ListedItem& item, std::size_t depth) {
    std::string indent(depth * 2, ' ');
    out << indent << "{\"name\": " << JsonString(item.name) << ", \"kind\": \""
        << (item.isFolder ? "folder" : "page") << "\"";
    if (item.isFolder) {
        out << ", \"children\": [";
        for (std::size_t index = 0; index < item.children.size(); ++index) {
            out << (index == 0 ? "\n" : ",\n");
            WriteJsonItem(out, item.children[index], depth + 1);
        }
        out << (item.children.empty() ? "]" : "\n" + indent + "]");
    }
    out << "}";
}

}  // namespace

ListedItem ReadWholeTree(CContentTree& tree, MemoryTreeControl& control) {
    TreeItem top = tree.TopItem();
    std::vector<std::filesystem::path> openedAbove;
    return top == kNoTreeItem ? ListedItem{} : ReadItem(tree, control, top, openedAbove);
}

void WriteTreeText(std::ostream& out, const ListedItem& top) {
    WriteTextLines(out, top, 0);
}

void WriteTreeJson(std::ostream& out, const ListedItem& top) {
    WriteJsonItem(out, top, 0);
    out << "\n";
}

}  // namespace wisp::cli
