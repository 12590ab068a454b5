#pragma once

// The one separator the system joins paths with: the rules speak of a backslash, which is
// this machine's separator on Windows; on Linux the same rules use "/".
namespace wisp {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace wisp
