#pragma once

#include <string>

#include "cli/CommandContext.h"

// Library requests the command and the native host make alike.
namespace wisp::cli {

// Stores `path` as the library root; throws when it cannot be used or stored.
void StoreLibraryRoot(CommandContext& context, const std::string& path);

// Makes the book `name` (an existing one is kept as it is) and makes it current. Whether it
// existed already. Throws for a name refused and for what cannot be made or stored.
bool MakeNewBook(CommandContext& context, const std::string& name);

// Makes `name`, one of the library's books, the current one. Throws when it is none or the
// choice cannot be stored.
void UseBook(CommandContext& context, const std::string& name);

// Renames a book; the current book follows it. Throws what cannot be done.
void RenameLibraryBook(CommandContext& context, const std::string& book, const std::string& name);

// Removes a book, into the Trash unless `forGood`. Throws what cannot be done.
void RemoveLibraryBook(CommandContext& context, const std::string& book, bool forGood);

}  // namespace wisp::cli
