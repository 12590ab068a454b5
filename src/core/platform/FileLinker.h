#pragma once

#include <string_view>

// Hard links port: one file under two names, stored once, where the file system allows it.
namespace wisp {

class IFileLinker {
public:
    virtual ~IFileLinker() = default;

    // Makes `link` (replacing a file there) another name of the file at `existing`; false
    // when the file system cannot, with `link` as it was.
    virtual bool LinkFile(std::string_view existing, std::string_view link) = 0;

    // Whether the two paths name one file already; false when the platform cannot tell.
    virtual bool AreOneFile(std::string_view a, std::string_view b) const = 0;
};

}  // namespace wisp
