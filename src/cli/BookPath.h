#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A path inside a book as the wisp command takes it: names of folders and pages below the
// book's folder, separated by "/".
namespace wisp::cli {

// The names along the path, outermost first; empty for the book itself. Empty and "." steps
// are skipped. Nullopt for a path that would leave the book: one that starts with "/" or
// holds a ".." step.
std::optional<std::vector<std::string>> SplitBookPath(std::string_view path);

}  // namespace wisp::cli
