#pragma once

#include <string>
#include <string_view>

// The title, and so the file name, of a page made from pasted or dropped HTML.
namespace wisp {

inline constexpr std::string_view kNewFileTitle = "New File";

// The parsed title, or "New File" when it is empty. The title comes from foreign text and
// becomes a file name in the target folder, so it must name an entry of that folder: path
// separators become "_", control characters spaces, and a title that would name the folder
// itself or its parent ("." or "..", or only dots and spaces) becomes "New File".
std::string PastedPageTitle(std::string_view parsedTitle);

}  // namespace wisp
