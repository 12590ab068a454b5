#include "posix/builder/FullProjectCopy.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "posix/platform/PosixFiles.h"

namespace wisp {

FullProjectCopy::FullProjectCopy(const std::string& projectFile,
                                 const std::vector<std::string>& files,
                                 const std::string& compiledFile) {
    auto project = ReadFileContent(projectFile);
    if (!project) {
        error_ = "Cannot read " + projectFile + ".";
        return;
    }
    std::string text = *project;
    constexpr std::string_view kCompiledFileKey = "Compiled file=";
    if (std::size_t key = text.find(kCompiledFileKey);
        !compiledFile.empty() && key != std::string::npos) {
        std::size_t start = key + kCompiledFileKey.size();
        std::size_t end = text.find_first_of("\r\n", start);
        text.replace(start, (end == std::string::npos ? text.size() : end) - start, compiledFile);
    }
    text += "\r\n[FILES]";
    for (const std::string& file : files) {
        text += "\r\n";
        text += file;
    }
    text += "\r\n";

    // Relative names in the project are read from the project file's own folder.
    std::string folder = projectFile.substr(0, projectFile.rfind('/') + 1);
    std::string pattern = folder + ".wisp-build-XXXXXX.hhp";
    int fd = ::mkstemps(pattern.data(), 4);
    if (fd < 0) {
        error_ = "Cannot write a project copy in " + folder + ": " + std::strerror(errno);
        return;
    }
    bool written = WriteAll(fd, text);
    bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(pattern.c_str());
        error_ = "Cannot write " + pattern + ".";
        return;
    }
    path_ = pattern;
}

FullProjectCopy::~FullProjectCopy() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

}  // namespace wisp
