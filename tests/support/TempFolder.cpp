#include "support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

#include "core/library/LibraryNaming.h"
#include "core/platform/PathSeparator.h"

namespace wisp::test {

std::filesystem::path FromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("wisp-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    path_ = ToUtf8(folder);
    while (path_.size() > 1 && path_.back() == kPathSeparator) {
        path_.pop_back();
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FromUtf8(path_), ignored);
}

std::string TempFolder::Path(std::string_view relative) const {
    std::string native(relative);
    for (char& c : native) {
        if (c == '/') {
            c = kPathSeparator;
        }
    }
    return relative.empty() ? path_ : JoinPath(path_, native);
}

std::string TempFolder::MakeFolder(std::string_view relative) const {
    std::string path = Path(relative);
    std::filesystem::create_directories(FromUtf8(path));
    return path;
}

std::string TempFolder::MakeFile(std::string_view relative, std::string_view content) const {
    std::string path = Path(relative);
    std::filesystem::create_directories(FromUtf8(path).parent_path());
    std::ofstream out(FromUtf8(path), std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return path;
}

bool TempFolder::Exists(std::string_view relative) const {
    std::error_code ignored;
    return std::filesystem::exists(FromUtf8(Path(relative)), ignored);
}

std::string TempFolder::Read(std::string_view relative) const {
    std::ifstream in(FromUtf8(Path(relative)), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace wisp::test
