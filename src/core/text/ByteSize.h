#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Sizes as a reader writes and reads them: a whole number of bytes, or of kilobytes,
// megabytes or gigabytes (K, M, G; each 1024 of the one before).
namespace wisp {

// "300", "512K", "64M" or "1G" (the unit in either case); nullopt for anything else, or for a
// size past what 64 bits hold.
std::optional<std::uint64_t> ParseByteSize(std::string_view text);

// The size in the largest unit that holds it whole: "64 MB", "1 KB", "1500 bytes".
std::string ByteSizeText(std::uint64_t bytes);

}  // namespace wisp
