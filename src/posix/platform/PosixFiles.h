#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// Small file helpers over POSIX calls, shared by the Linux adapters.
namespace wisp {

std::optional<std::string> ReadFileContent(const std::string& path);

// Everything the descriptor gives until its end; nullopt on a read error.
// `expectedSize`: room made at once (the file's length, when known).
std::optional<std::string> ReadToEnd(int fd, std::size_t expectedSize = 0);

// Writes all of `content` to the descriptor, going on after interrupted or partial writes.
bool WriteAll(int fd, std::string_view content);

// Writes `content` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so that a crash leaves either the old file or the new one, never half of one.
// Without `flush` the flushing is left to the caller, who syncs many files at once.
bool ReplaceFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                           bool flush = true);

// Replaces the file at `path` as ReplaceFileAtomically does, but only while it holds
// `expected`: false, and nothing changed, when it holds anything else or is gone.
bool ReplaceFileIfUnchanged(const std::string& path, std::string_view expected,
                            std::string_view content, mode_t mode, bool flush = true);

// Creates the folder and any missing parents; true when the folder exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace wisp
