#pragma once

#include <optional>
#include <string>
#include <string_view>

// Finding a fetched page's character set and turning its text into UTF-8.
namespace wisp {

// The charset parameter of a Content-Type header, lower case; empty when there is none.
std::string CharsetFromContentType(std::string_view contentType);

// The charset a META element declares within the page's first 1024 bytes (charset="..." or
// http-equiv content "...; charset=..."), lower case; empty when there is none.
std::string CharsetFromMeta(std::string_view page);

// The page text in UTF-8. The header's charset comes first, then a byte order mark, then the
// META declaration; with none of them, text that is valid UTF-8 is taken as it is and any
// other as windows-1252, as browsers read undeclared pages. nullopt when a declared charset
// is unknown to the converter.
std::optional<std::string> DecodePage(std::string bytes, std::string_view contentType);

}  // namespace wisp
