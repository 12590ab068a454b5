#pragma once

#include "core/platform/FileLinker.h"

// The hard links port over link(2): the new name is made beside the old one and renamed over
// it, so a file there is replaced whole or not at all.
namespace wisp {

class PosixFileLinker final : public IFileLinker {
public:
    bool LinkFile(std::string_view existing, std::string_view link) override;
    std::optional<LinkedFile> Identify(std::string_view path) const override;
};

}  // namespace wisp
