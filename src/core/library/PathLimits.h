#pragma once

#include <cstddef>
#include <string_view>

// The fixed buffer sizes the library's rules are written for. A value that would not fit
// is refused as a whole: truncating it could name another, valid path.
namespace wisp {

// Characters in a path, name or label buffer, terminating zero included.
inline constexpr std::size_t kMaxPathChars = 260;
// Bytes in the current-book buffer, terminating zero included.
inline constexpr std::size_t kMaxBookNameBytes = 256;
// Characters in one file or folder name on the file systems the library lives on.
inline constexpr std::size_t kMaxNameChars = 255;

// Length in UTF-16 code units, the unit the Windows buffers count in.
std::size_t Utf16Length(std::string_view utf8);

// True when the text fits a path buffer together with its terminating zero.
bool FitsPathBuffer(std::string_view text);

}  // namespace wisp
