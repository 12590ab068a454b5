#include <windows.h>

#include <algorithm>

#include "win32/platform/Win32FileSystem.h"

#include "win32/platform/UniqueHandle.h"
#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

DWORD AttributesOf(std::string_view path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str());
}

UniqueFile CreateForWriting(const std::wstring& path, DWORD attributes) {
    return UniqueFile(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
}

}  // namespace

std::optional<std::vector<FolderEntry>> Win32FileSystem::ListFolder(std::string_view folder) const {
    return ListByVisiting(folder);
}

bool Win32FileSystem::VisitFolder(std::string_view folder,
                                  const std::function<bool(const FolderEntry&)>& visit) const {
    std::wstring pattern = Utf8ToWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) {
        return false;
    }
    do {
        std::wstring_view name = data.cFileName;
        // By name, not by position: a drive's root folder has no "." entry.
        if (name == L"." || name == L"..") {
            continue;
        }
        FolderEntry entry;
        entry.name = WideToUtf8(name);
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (!visit(entry)) {
            break;
        }
    } while (::FindNextFileW(find.Get(), &data));
    return true;
}

CreateFolderResult Win32FileSystem::CreateFolder(std::string_view path) {
    if (::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) {
        return CreateFolderResult::Created;
    }
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? CreateFolderResult::AlreadyExists
                                                    : CreateFolderResult::Failed;
}

bool Win32FileSystem::WriteWholeFile(std::string_view path, std::string_view content, bool hidden) {
    std::wstring widePath = Utf8ToWide(path);
    DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    UniqueFile file = CreateForWriting(widePath, attributes);
    if (!file && ::GetLastError() == ERROR_ACCESS_DENIED) {
        // CREATE_ALWAYS refuses to replace a hidden or system file unless asked for the same
        // attributes; a file of ours written hidden before is replaced all the same.
        DWORD existing = ::GetFileAttributesW(widePath.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES &&
            (existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0 &&
            (existing & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            ::SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            file = CreateForWriting(widePath, attributes);
        }
    }
    if (!file) {
        return false;
    }
    while (!content.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), content.data(), chunk, &written, nullptr) || written == 0) {
            file.Reset();
            ::DeleteFileW(widePath.c_str());  // no half-written file stays behind
            return false;
        }
        content.remove_prefix(written);
    }
    return true;
}

std::optional<std::string> Win32FileSystem::ReadWholeFile(std::string_view path) const {
    UniqueFile file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, got);
    }
}

bool Win32FileSystem::RemoveFile(std::string_view path) {
    return ::DeleteFileW(Utf8ToWide(path).c_str()) != 0;
}

bool Win32FileSystem::RemoveFolder(std::string_view path) {
    // On a junction or directory link this removes the link, never what it points to.
    return ::RemoveDirectoryW(Utf8ToWide(path).c_str()) != 0;
}

bool Win32FileSystem::IsFolder(std::string_view path) const {
    DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::IsFile(std::string_view path) const {
    DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32FileSystem::GetShortPath(std::string_view path) const {
    std::wstring longPath = Utf8ToWide(path);
    DWORD needed = ::GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (needed == 0) {
        return std::string(path);
    }
    std::wstring shortPath(needed, L'\0');
    DWORD length = ::GetShortPathNameW(longPath.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) {
        return std::string(path);
    }
    shortPath.resize(length);
    return WideToUtf8(shortPath);
}

}  // namespace wisp::win32
