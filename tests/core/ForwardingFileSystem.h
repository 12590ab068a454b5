#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/FileSystem.h"
#include "core/platform/NativePorts.h"
#include "core/platform/PathSeparator.h"

namespace wisp::test {

// This platform's files, passed through; a test double overrides only the calls it changes.
class ForwardingFileSystem : public IFileSystem {
public:
    std::optional<std::vector<FolderEntry>> ListFolder(std::string_view folder) const override {
        return native_->ListFolder(folder);
    }
    CreateFolderResult CreateFolder(std::string_view path) override {
        return native_->CreateFolder(path);
    }
    bool WriteWholeFile(std::string_view path, std::string_view content, bool hidden) override {
        return native_->WriteWholeFile(path, content, hidden);
    }
    std::optional<std::string> ReadWholeFile(std::string_view path) const override {
        return native_->ReadWholeFile(path);
    }
    bool RemoveFile(std::string_view path) override { return native_->RemoveFile(path); }
    bool RemoveFolder(std::string_view path) override { return native_->RemoveFolder(path); }
    bool IsFolder(std::string_view path) const override { return native_->IsFolder(path); }
    bool IsFile(std::string_view path) const override { return native_->IsFile(path); }
    std::string GetShortPath(std::string_view path) const override {
        return native_->GetShortPath(path);
    }

private:
    std::unique_ptr<IFileSystem> native_ = CreateNativeFileSystem();
};

// Paths in tests are written with "/" and turned into this platform's paths.
inline std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

}  // namespace wisp::test
