#pragma once

#include "core/platform/UrlCombiner.h"

// URL combination on Windows: InternetCombineUrlW without escaping.
namespace wisp::win32 {

class WinInetUrlCombiner final : public IUrlCombiner {
public:
    std::optional<std::string> Combine(std::string_view base,
                                       std::string_view relative) const override;
};

}  // namespace wisp::win32
