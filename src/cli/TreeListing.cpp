#include "cli/TreeListing.h"

#include "cli/JsonText.h"
#include "core/library/TreeItemKind.h"

namespace wisp::cli {
namespace {

ListedItem ReadItem(CContentTree& tree, MemoryTreeControl& control, TreeItem item) {
    ListedItem listed;
    listed.name = tree.LabelOf(item);
    listed.isFolder = tree.KindOf(item) == kFolderItem;
    if (listed.isFolder) {
        control.Expand(item);
        for (TreeItem child : control.Children(item)) {
            listed.children.push_back(ReadItem(tree, control, child));
        }
    }
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
    return top == kNoTreeItem ? ListedItem{} : ReadItem(tree, control, top);
}

void WriteTreeText(std::ostream& out, const ListedItem& top) {
    WriteTextLines(out, top, 0);
}

void WriteTreeJson(std::ostream& out, const ListedItem& top) {
    WriteJsonItem(out, top, 0);
    out << "\n";
}

}  // namespace wisp::cli
