#pragma once

#include <string>
#include <string_view>

// Text of JSON documents the wisp command prints for scripts.
namespace wisp::cli {

// The text as a JSON string, quotes included. Quotes, backslashes and control characters are
// escaped; a byte that is not part of valid UTF-8 (a file name on Linux may hold any byte)
// becomes U+FFFD, so the document stays valid UTF-8.
std::string JsonString(std::string_view text);

}  // namespace wisp::cli
