#include "posix/library/FreedesktopTrash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/text/PercentEncoding.h"
#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {
namespace {

std::string DefaultTrashFolder() {
    if (const char* override = std::getenv(FreedesktopTrash::kTrashFolderVariable);
        override && *override) {
        return override;
    }
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome == '/') {
        return std::string(dataHome) + "/Trash";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.local/share/Trash";
    }
    return {};
}

std::string LocalTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

}  // namespace

FreedesktopTrash::FreedesktopTrash(std::string trashFolder)
    : folder_(trashFolder.empty() ? DefaultTrashFolder() : std::move(trashFolder)) {}

bool FreedesktopTrash::MoveToTrash(std::string_view path) const {
    if (folder_.empty() || path.empty()) {
        return false;
    }
    std::string source(path);
    struct stat info {};
    if (::lstat(source.c_str(), &info) != 0) {
        return false;
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(source, error);
    if (error) {
        return false;
    }
    // Normalising leaves no "." or ".." name; the root or a trailing slash leaves none at all.
    std::string name = absolute.lexically_normal().filename().string();
    if (name.empty()) {
        return false;
    }
    std::string filesFolder = folder_ + "/files";
    std::string infoFolder = folder_ + "/info";
    if (!MakeFolders(filesFolder) || !MakeFolders(infoFolder)) {
        return false;
    }
    std::string contents =
        "[Trash Info]\nPath=" + PercentEncodePath(absolute.lexically_normal().string()) +
        "\nDeletionDate=" + LocalTimeStamp() + "\n";
    // The info file is made first and exclusively: it reserves the name in files/.
    for (int attempt = 1; attempt < 10000; ++attempt) {
        std::string trashName = attempt == 1 ? name : name + "." + std::to_string(attempt);
        std::string infoPath = infoFolder + "/" + trashName + ".trashinfo";
        FileDescriptor info(
            ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!info.IsOpen()) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        bool written = WriteAll(info.get(), contents);
        written = info.Close() && written;
        std::string target = filesFolder + "/" + trashName;
        if (written && ::access(target.c_str(), F_OK) != 0 &&
            ::rename(source.c_str(), target.c_str()) == 0) {
            return true;
        }
        ::unlink(infoPath.c_str());
        if (!written || ::access(target.c_str(), F_OK) != 0) {
            return false;  // the move itself failed; another name would not help
        }
    }
    return false;
}

}  // namespace wisp
