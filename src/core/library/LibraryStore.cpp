#include "core/library/LibraryStore.h"

#include "core/library/LibraryNaming.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"

namespace wisp {

std::string GetModuleFolder(const IModuleLocation& module) {
    std::string path = module.ModuleFilePath();
    std::size_t separator = path.rfind(kPathSeparator);
    if (separator == std::string::npos) {
        return {};
    }
    path.resize(separator);
    return path;
}

std::optional<std::string> ReadLibraryRoot(const ISettingsStore& settings) {
    std::optional<std::string> root = settings.ReadString(
        SettingsHive::CurrentUser, kLibraryRootKey, kLibraryRootValue, KeyAccess::Read);
    if (root && !root->empty() && FitsPathBuffer(*root)) {
        return root;
    }
    return std::nullopt;
}

std::string GetLibraryRoot(const ISettingsStore& settings, const IModuleLocation& module) {
    if (std::optional<std::string> root = ReadLibraryRoot(settings)) {
        return *root;
    }
    std::string folder = module.DefaultLibraryFolder();
    if (folder.empty()) {
        folder = GetModuleFolder(module);
    }
    if (folder.empty()) {
        // A root relative to wherever the process happens to run would be a guess.
        return {};
    }
    return JoinPath(folder, kDefaultRootName);
}

bool WriteLibraryRoot(ISettingsStore& settings, std::string_view path) {
    if (!FitsPathBuffer(path)) {
        return false;
    }
    return settings.WriteString(SettingsHive::CurrentUser, kLibraryRootKey, kLibraryRootValue, path,
                                KeyAccess::Write, /*withTerminatingZero=*/false);
}

std::string ReadBookName(const ISettingsStore& settings) {
    std::optional<std::string> name = settings.ReadString(SettingsHive::LocalMachine, kBookNameKey,
                                                          kBookNameValue, KeyAccess::Full);
    if (!name || name->size() >= kMaxBookNameBytes) {
        return {};
    }
    return *name;
}

bool WriteBookName(ISettingsStore& settings, std::string_view name) {
    if (name.size() >= kMaxBookNameBytes) {
        return false;
    }
    return settings.WriteString(SettingsHive::LocalMachine, kBookNameKey, kBookNameValue, name,
                                KeyAccess::Full, /*withTerminatingZero=*/true);
}

std::string ReadLibraryBook(const ISettingsStore& settings, std::string_view root) {
    return settings.ReadString(SettingsHive::CurrentUser, kLibraryBooksKey, root, KeyAccess::Read)
        .value_or(std::string());
}

bool WriteLibraryBook(ISettingsStore& settings, std::string_view root, std::string_view book) {
    return settings.WriteString(SettingsHive::CurrentUser, kLibraryBooksKey, root, book,
                                KeyAccess::Write, /*withTerminatingZero=*/false);
}

std::vector<std::string> ListBooks(const IFileSystem& files, std::string_view root) {
    std::vector<std::string> books;
    if (root.empty()) {
        return books;
    }
    std::optional<std::vector<FolderEntry>> entries = files.ListFolder(root);
    if (!entries) {
        return books;
    }
    for (FolderEntry& entry : *entries) {
        if (entry.isFolder) {
            books.push_back(std::move(entry.name));
        }
    }
    return books;
}

}  // namespace wisp
