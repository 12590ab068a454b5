#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/FileSystem.h"
#include "core/platform/ModuleLocation.h"
#include "core/platform/SettingsStore.h"

// Where the library lives: the two settings that locate it and the listing of its books.
namespace wisp {

inline constexpr std::string_view kLibraryRootKey = "Software\\Wisp";
inline constexpr std::string_view kLibraryRootValue = "eBookPath";
inline constexpr std::string_view kBookNameKey = "SOFTWARE\\Qexo\\Wisp";
inline constexpr std::string_view kBookNameValue = "BookName";
inline constexpr std::string_view kDefaultRootName = "My eBooks";
// The current book of each library other than the one the bar shows, by its root's path.
inline constexpr std::string_view kLibraryBooksKey = "Software\\Wisp\\Libraries";

// The module file's folder (cut before its last separator); empty when it is not known.
std::string GetModuleFolder(const IModuleLocation& module);

// `eBookPath` when it is set, not empty and fits a path buffer; nullopt when the default
// root is in use.
std::optional<std::string> ReadLibraryRoot(const ISettingsStore& settings);

// `eBookPath`, or the default library folder (the module folder unless the platform names
// another) followed by "My eBooks" when that is empty, unreadable or too long for a path
// buffer. Empty only when neither is known.
std::string GetLibraryRoot(const ISettingsStore& settings, const IModuleLocation& module);

// Stores `eBookPath` without a terminating zero. A path too long for a path buffer is
// refused; false when nothing was written.
bool WriteLibraryRoot(ISettingsStore& settings, std::string_view path);

// The current book; empty when it cannot be read or does not fit the 256-byte buffer.
std::string ReadBookName(const ISettingsStore& settings);

// Stores `BookName` with its terminating zero. A name that does not fit the 256-byte buffer
// is refused; false when nothing was written.
bool WriteBookName(ISettingsStore& settings, std::string_view name);

// The current book of the library at `root` when it is not the bar's; empty when none is kept.
std::string ReadLibraryBook(const ISettingsStore& settings, std::string_view root);
bool WriteLibraryBook(ISettingsStore& settings, std::string_view root, std::string_view book);

// Every folder of the root, in the file system's order; empty when the root does not exist.
std::vector<std::string> ListBooks(const IFileSystem& files, std::string_view root);

}  // namespace wisp
