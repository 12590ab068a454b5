#pragma once

#include "core/platform/FileSystem.h"

// The files as the library tree uses them on Linux, where a build in another process may be at
// work on a folder the tree opens: a build's project files, which the tree clears as leftovers,
// are removed only while no build holds the folder (see ExclusiveFolderLock).
namespace wisp {

class BuildSparingFileSystem final : public IFileSystem {
public:
    explicit BuildSparingFileSystem(IFileSystem& files) : files_(files) {}

    std::optional<std::vector<FolderEntry>> ListFolder(std::string_view folder) const override {
        return files_.ListFolder(folder);
    }
    CreateFolderResult CreateFolder(std::string_view path) override {
        return files_.CreateFolder(path);
    }
    bool WriteWholeFile(std::string_view path, std::string_view content, bool hidden) override {
        return files_.WriteWholeFile(path, content, hidden);
    }
    std::optional<std::string> ReadWholeFile(std::string_view path) const override {
        return files_.ReadWholeFile(path);
    }
    bool RemoveFile(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override { return files_.RemoveFolder(path); }
    bool IsFolder(std::string_view path) const override { return files_.IsFolder(path); }
    bool IsFile(std::string_view path) const override { return files_.IsFile(path); }
    std::string GetShortPath(std::string_view path) const override {
        return files_.GetShortPath(path);
    }
    bool VisitFolder(std::string_view folder,
                     const std::function<bool(const FolderEntry&)>& visit) const override {
        return files_.VisitFolder(folder, visit);
    }

private:
    IFileSystem& files_;
};

}  // namespace wisp
