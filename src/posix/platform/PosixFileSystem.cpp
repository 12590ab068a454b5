#include "posix/platform/PosixFileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "posix/platform/PosixFiles.h"

namespace wisp {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

bool StatIs(std::string_view path, mode_t type) {
    struct stat info {};
    return ::stat(std::string(path).c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type;
}

}  // namespace

std::optional<std::vector<FolderEntry>> PosixFileSystem::ListFolder(std::string_view folder) const {
    return ListByVisiting(folder);
}

bool PosixFileSystem::VisitFolder(std::string_view folder,
                                  const std::function<bool(const FolderEntry&)>& visit) const {
    UniqueDir dir(::opendir(std::string(folder).c_str()));
    if (!dir) {
        return false;
    }
    while (dirent* entry = ::readdir(dir.get())) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        FolderEntry item;
        item.name = name;
        // The entry's type from the listing saves a stat per entry where the file system
        // gives it.
        if (entry->d_type == DT_DIR) {
            item.isFolder = true;
        } else if (entry->d_type != DT_REG) {
            struct stat info {};
            if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode)) {
                item.isLink = true;
                // A link counts as what it points to; a dangling one as a file.
                if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, 0) != 0) {
                    info.st_mode = S_IFREG;
                }
            }
            item.isFolder = S_ISDIR(info.st_mode);
        }
        if (!visit(item)) {
            break;
        }
    }
    return true;
}

CreateFolderResult PosixFileSystem::CreateFolder(std::string_view path) {
    if (::mkdir(std::string(path).c_str(), 0755) == 0) {
        return CreateFolderResult::Created;
    }
    return errno == EEXIST ? CreateFolderResult::AlreadyExists : CreateFolderResult::Failed;
}

bool PosixFileSystem::WriteWholeFile(std::string_view path, std::string_view content,
                                     bool /*hidden*/) {
    return ReplaceFileAtomically(std::string(path), content, 0644);
}

bool PosixFileSystem::ReplaceFileIfUnchanged(std::string_view path, std::string_view expected,
                                             std::string_view content) {
    return wisp::ReplaceFileIfUnchanged(std::string(path), expected, content, 0644);
}

std::optional<std::string> PosixFileSystem::ReadWholeFile(std::string_view path) const {
    return ReadFileContent(std::string(path));
}

bool PosixFileSystem::RemoveFile(std::string_view path) {
    std::string file(path);
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    return ::unlink(file.c_str()) == 0;
}

bool PosixFileSystem::RemoveFolder(std::string_view path) {
    std::string folder(path);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        return ::unlink(folder.c_str()) == 0;  // the link, never its target
    }
    return ::rmdir(folder.c_str()) == 0;
}

bool PosixFileSystem::IsFolder(std::string_view path) const {
    return StatIs(path, S_IFDIR);
}

bool PosixFileSystem::IsFile(std::string_view path) const {
    return StatIs(path, S_IFREG);
}

std::string PosixFileSystem::GetShortPath(std::string_view path) const {
    return std::string(path);
}

}  // namespace wisp
