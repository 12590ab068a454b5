#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it at the
// end of the test. Paths are UTF-8 strings joined with the platform's separator, as the
// system's own paths are.
namespace wisp::test {

std::filesystem::path FromUtf8(std::string_view utf8);
std::string ToUtf8(const std::filesystem::path& path);

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The folder joined with a relative path written with "/" separators.
    std::string Path(std::string_view relative) const;

    // Create a folder (with parents) or a file (with its parent folders) below the folder.
    std::string MakeFolder(std::string_view relative) const;
    std::string MakeFile(std::string_view relative, std::string_view content = {}) const;

    bool Exists(std::string_view relative) const;
    std::string Read(std::string_view relative) const;

private:
    std::string path_;
};

}  // namespace wisp::test
