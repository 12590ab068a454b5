#include "core/builder/BookOutline.h"

#include "core/builder/FolderDescent.h"
#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

std::string JoinRelative(std::string_view relative, std::string_view name) {
    return relative.empty() ? std::string(name) : std::string(relative) + "/" + std::string(name);
}

class OutlineReader {
public:
    OutlineReader(const IFileSystem& files, BookOutline& outline, bool companions)
        : files_(files), outline_(outline), companions_(companions) {}

    void Read(std::string_view folder, std::string_view relative, FolderDescent descent,
              std::vector<OutlineNode>& nodes) {
        auto listing = ListBookFolder(files_, folder);
        if (!listing) {
            return;
        }
        for (const FolderEntry& entry : *listing) {
            std::string path = JoinPath(folder, entry.name);
            std::string relativePath = JoinRelative(relative, entry.name);
            if (entry.isFolder) {
                if (!descent.Enters(entry)) {
                    continue;
                }
                if (IsCompanionFolder(entry.name)) {
                    if (!companions_) {
                        continue;
                    }
                    CompanionFolder companion{relativePath, path, {}};
                    ReadCompanion(path, relativePath, descent.Into(entry), companion.files);
                    outline_.companions.push_back(std::move(companion));
                    continue;
                }
                OutlineNode node{OutlineNode::Kind::Folder, entry.name, entry.name, relativePath,
                                 path, {}};
                Read(path, relativePath, descent.Into(entry), node.children);
                nodes.push_back(std::move(node));
            } else if (IsPageFile(entry.name)) {
                nodes.push_back({OutlineNode::Kind::Page,
                                 entry.name.substr(0, entry.name.size() - 4), entry.name,
                                 relativePath, path, {}});
            }
        }
    }

private:
    void ReadCompanion(std::string_view folder, std::string_view relative, FolderDescent descent,
                       std::vector<std::string>& found) {
        auto listing = ListBookFolder(files_, folder);
        if (!listing) {
            return;
        }
        for (const FolderEntry& entry : *listing) {
            std::string relativePath = JoinRelative(relative, entry.name);
            if (!entry.isFolder) {
                found.push_back(std::move(relativePath));
            } else if (descent.Enters(entry)) {
                ReadCompanion(JoinPath(folder, entry.name), relativePath, descent.Into(entry),
                              found);
            }
        }
    }

    const IFileSystem& files_;
    BookOutline& outline_;
    bool companions_;
};

void CollectPages(const std::vector<OutlineNode>& entries, std::vector<const OutlineNode*>& out) {
    for (const OutlineNode& node : entries) {
        if (node.kind == OutlineNode::Kind::Page) {
            out.push_back(&node);
        } else {
            CollectPages(node.children, out);
        }
    }
}

}  // namespace

BookOutline ReadBookOutline(const IFileSystem& files, std::string_view builtFolder) {
    BookOutline outline;
    OutlineReader(files, outline, true).Read(builtFolder, "", FolderDescent{}, outline.entries);
    return outline;
}

BookOutline ReadBookPageOutline(const IFileSystem& files, std::string_view builtFolder) {
    BookOutline outline;
    OutlineReader(files, outline, false).Read(builtFolder, "", FolderDescent{}, outline.entries);
    return outline;
}

const OutlineNode* FirstPageOf(const std::vector<OutlineNode>& entries) {
    for (const OutlineNode& node : entries) {
        if (node.kind == OutlineNode::Kind::Page) {
            return &node;
        }
        if (const OutlineNode* found = FirstPageOf(node.children)) {
            return found;
        }
    }
    return nullptr;
}

std::vector<const OutlineNode*> PagesOf(const std::vector<OutlineNode>& entries) {
    std::vector<const OutlineNode*> pages;
    CollectPages(entries, pages);
    return pages;
}

}  // namespace wisp
