#pragma once

#include <optional>
#include <string>
#include <string_view>

// Naming rules of the on-disk library: pages, their companion folders, downloaded resources.
namespace wisp {

// `a`, the separator and `b`; no second separator when `a` already ends in one.
std::string JoinPath(std::string_view a, std::string_view b);

// The folder, the separator, the title and ".htm"; nullopt when that does not fit a path
// buffer.
std::optional<std::string> MakePagePath(std::string_view folder, std::string_view title);

// The page file's name up to its last "." followed by ".files" (News.htm gives News.files).
std::string MakeCompanionFolderName(std::string_view pagePath);

// The page path less its last four characters followed by ".files"; empty for a path too
// short to end in ".htm".
std::string CompanionFolderOfPage(std::string_view pagePath);

// The local file name of a downloaded resource: the URL's last segment, percent-decoded,
// without its fragment. Behind a query a static resource (style sheet, script, picture, font,
// media) keeps its name and a dynamic page gets the name up to its first "." and ".htm". A
// name past 255 bytes is shortened before its extension, on a character boundary. An empty
// URL succeeds and leaves `name` as it was. Fails when the URL yields no usable file name; a
// name never leaves the companion folder.
bool MakeResourceFileName(std::string_view url, std::string& name);

// A page's own title made into a usable page name: characters a file name cannot hold become
// "_", runs of white space one space, trailing dots and spaces go, and the result is kept
// short; "Untitled" when nothing is left.
std::string MakeTitleFileName(std::string_view title);

// Name ends in ".htm" or ".HTM", exactly.
bool IsPageFile(std::string_view name);

// Name ends in ".files" or "_files", exactly.
bool IsCompanionFolder(std::string_view name);

}  // namespace wisp
