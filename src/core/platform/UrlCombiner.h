#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// URL combination port: resolves a reference against a web base address.
namespace wisp {

class IUrlCombiner {
public:
    virtual ~IUrlCombiner() = default;

    // The absolute address that `relative` names when read on the page at `base`, as a web
    // browser resolves it; unsafe characters are not escaped. A backslash inside the relative
    // reference's path counts as a path separator. nullopt when the two do not combine.
    virtual std::optional<std::string> Combine(std::string_view base,
                                               std::string_view relative) const = 0;
};

// This platform's adapter, defined by the platform library.
std::unique_ptr<IUrlCombiner> CreateNativeUrlCombiner();

}  // namespace wisp
