#pragma once

#include "core/platform/FileSystem.h"

// Passes every call to another file system; a subclass overrides only the calls it changes.
namespace wisp {

class ForwardingFileSystem : public IFileSystem {
public:
    explicit ForwardingFileSystem(IFileSystem& files) : files_(files) {}

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
    bool ReplaceFileIfUnchanged(std::string_view path, std::string_view expected,
                                std::string_view content) override {
        return files_.ReplaceFileIfUnchanged(path, expected, content);
    }
    bool RemoveFile(std::string_view path) override { return files_.RemoveFile(path); }
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
