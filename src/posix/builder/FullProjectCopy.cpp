#include "posix/builder/FullProjectCopy.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {

Result<FullProjectCopy> FullProjectCopy::Write(const std::string& projectFile,
                                               const std::vector<std::string>& files,
                                               const std::string& compiledFile) {
    auto project = ReadFileContent(projectFile);
    if (!project) {
        return Failure{"Cannot read " + projectFile + "."};
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
    FileDescriptor fd(::mkstemps(pattern.data(), 4));
    if (!fd.IsOpen()) {
        return Failure{"Cannot write a project copy in " + folder + ": " + std::strerror(errno)};
    }
    bool written = WriteAll(fd.get(), text);
    if (!fd.Close() || !written) {
        ::unlink(pattern.c_str());
        return Failure{"Cannot write " + pattern + "."};
    }
    return FullProjectCopy(pattern);
}

FullProjectCopy::~FullProjectCopy() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

}  // namespace wisp
