#pragma once

#include "core/platform/FileSystem.h"

// The files port over POSIX calls. There are no short names and no hidden attribute here.
namespace wisp {

class PosixFileSystem final : public IFileSystem {
public:
    std::optional<std::vector<FolderEntry>> ListFolder(std::string_view folder) const override;
    CreateFolderResult CreateFolder(std::string_view path) override;
    bool WriteWholeFile(std::string_view path, std::string_view content, bool hidden) override;
    bool ReplaceFileIfUnchanged(std::string_view path, std::string_view expected,
                                std::string_view content) override;
    std::optional<std::string> ReadWholeFile(std::string_view path) const override;
    bool RemoveFile(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override;
    bool IsFolder(std::string_view path) const override;
    bool IsFile(std::string_view path) const override;
    std::string GetShortPath(std::string_view path) const override;
    bool VisitFolder(std::string_view folder,
                     const std::function<bool(const FolderEntry&)>& visit) const override;
};

}  // namespace wisp
