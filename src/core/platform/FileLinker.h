#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Hard links port: one file under two names, stored once, where the file system allows it.
namespace wisp {

struct LinkedFile {
    std::uint64_t device = 0;
    std::uint64_t node = 0;
    std::uint64_t size = 0;
};

class IFileLinker {
public:
    virtual ~IFileLinker() = default;

    // Makes `link` (replacing a file there) another name of the file at `existing`; false
    // when the file system cannot, with `link` as it was.
    virtual bool LinkFile(std::string_view existing, std::string_view link) = 0;

    // Which file the path names and its size; nullopt when the platform cannot tell. Two
    // paths with the same device and node name one file.
    virtual std::optional<LinkedFile> Identify(std::string_view path) const = 0;
};

}  // namespace wisp
