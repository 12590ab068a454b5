#pragma once

#include "core/platform/UrlCombiner.h"

// URL combination on Linux: libcurl's URL parser accepts the base, the reference is
// resolved as a browser resolves it, without the escaping libcurl adds to relative
// references.
namespace wisp {

class CurlUrlCombiner final : public IUrlCombiner {
public:
    std::optional<std::string> Combine(std::string_view base,
                                       std::string_view relative) const override;
};

}  // namespace wisp
