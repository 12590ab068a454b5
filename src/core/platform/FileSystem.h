#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Folder listing and files port. Paths are UTF-8 and joined with kPathSeparator.
namespace wisp {

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    // A symbolic link or junction: removing it must never reach what it points to.
    bool isLink = false;
};

enum class CreateFolderResult { Created, AlreadyExists, Failed };

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // The folder's entries in the file system's order, "." and ".." left out by name;
    // nullopt when the listing cannot start (no such folder).
    virtual std::optional<std::vector<FolderEntry>> ListFolder(std::string_view folder) const = 0;

    virtual CreateFolderResult CreateFolder(std::string_view path) = 0;

    // Creates or replaces the file with exactly `content`.
    virtual bool WriteWholeFile(std::string_view path, std::string_view content,
                                bool hidden = false) = 0;

    virtual std::optional<std::string> ReadWholeFile(std::string_view path) const = 0;

    // Replaces the file with `content` only while it still holds `expected`: a file rewritten
    // from what was read of it then never undoes a copy another writer put there meanwhile,
    // nor brings back one moved or removed. False, and nothing written, when the file holds
    // anything else or is gone. A platform that cannot check and replace in one step checks
    // just before.
    virtual bool ReplaceFileIfUnchanged(std::string_view path, std::string_view expected,
                                        std::string_view content) {
        std::optional<std::string> now = ReadWholeFile(path);
        return now && *now == expected && WriteWholeFile(path, content);
    }

    virtual bool RemoveFile(std::string_view path) = 0;

    // Removes an empty folder, or a link to a folder without touching its target.
    virtual bool RemoveFolder(std::string_view path) = 0;

    virtual bool IsFolder(std::string_view path) const = 0;
    virtual bool IsFile(std::string_view path) const = 0;

    // The short (8.3) form of an existing path where the platform has one, else the path.
    virtual std::string GetShortPath(std::string_view path) const = 0;

    // Hands the folder's entries to `visit` one by one, as ListFolder lists them, until it
    // returns false; false when the listing cannot start. A caller looking for one entry
    // stops without reading the whole folder.
    virtual bool VisitFolder(std::string_view folder,
                             const std::function<bool(const FolderEntry&)>& visit) const {
        std::optional<std::vector<FolderEntry>> entries = ListFolder(folder);
        if (!entries) {
            return false;
        }
        for (const FolderEntry& entry : *entries) {
            if (!visit(entry)) {
                break;
            }
        }
        return true;
    }

protected:
    // ListFolder for an adapter whose listing is built on its own VisitFolder.
    std::optional<std::vector<FolderEntry>> ListByVisiting(std::string_view folder) const {
        std::vector<FolderEntry> entries;
        if (!VisitFolder(folder, [&entries](const FolderEntry& entry) {
                entries.push_back(entry);
                return true;
            })) {
            return std::nullopt;
        }
        return entries;
    }
};

}  // namespace wisp
