#pragma once

#include <string_view>
#include <vector>

#include "core/platform/FileSystem.h"

// The order a folder's entries are listed in and the sameness of two names, as Windows sees
// them on NTFS: by name, without regard to case, folders and files together. The tree, the
// builds and the command list a folder this way on every platform, so that a library moved
// between machines reads the same.
namespace wisp {

// Whether `a` comes before `b`: their characters in capitals (ASCII, Latin-1, Greek and
// Cyrillic letters), compared as UTF-16 code units.
bool NameOrderLess(std::string_view a, std::string_view b);

// Whether the names differ at most in case, as NTFS takes them to name the same entry.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The entries in name order; equal names keep the order they came in.
void SortByName(std::vector<FolderEntry>& entries);

}  // namespace wisp
