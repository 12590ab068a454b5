#include "cli/TreeListing.h"

#include <algorithm>
#include <filesystem>

#include "core/library/BookListing.h"
#include "core/library/LibraryNaming.h"

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
void ReadFolder(IFileSystem& files, const std::string& path, ListedItem& listed,
                std::vector<std::filesystem::path>& openedAbove) {
    std::filesystem::path folder = ResolvedFolder(path);
    if (!folder.empty() &&
        std::find(openedAbove.begin(), openedAbove.end(), folder) != openedAbove.end()) {
        return;
    }
    openedAbove.push_back(folder);
    for (BookEntry& entry : ListBookItems(files, path, true).value_or(std::vector<BookEntry>{})) {
        ListedItem child{std::move(entry.name), entry.kind == kFolderItem, {}};
        if (child.isFolder) {
            ReadFolder(files, JoinPath(path, child.name), child, openedAbove);
        }
        listed.children.push_back(std::move(child));
    }
    openedAbove.pop_back();
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

}  // namespace

ListedItem ReadWholeTree(IFileSystem& files, const std::string& path, const std::string& name) {
    ListedItem top{name, true, {}};
    std::vector<std::filesystem::path> openedAbove;
    ReadFolder(files, path, top, openedAbove);
    return top;
}

void WriteTreeText(std::ostream& out, const ListedItem& top) {
    WriteTextLines(out, top, 0);
}

nlohmann::json TreeJson(const ListedItem& item) {
    nlohmann::json json{{"name", item.name}, {"kind", item.isFolder ? "folder" : "page"}};
    if (item.isFolder) {
        json["children"] = nlohmann::json::array();
        for (const ListedItem& child : item.children) {
            json["children"].push_back(TreeJson(child));
        }
    }
    return json;
}

}  // namespace wisp::cli
