#include "core/capture/LocalReference.h"

#include <algorithm>

#include "core/capture/AddressRules.h"

namespace wisp {

std::optional<std::string> ResolveLocalReference(std::string_view pageUrl,
                                                 std::string_view reference) {
    // These separators are about the address, not about this machine's paths.
    const char separator = HasDrivePathMarker(pageUrl) ? '\\' : '/';
    std::size_t last = pageUrl.rfind(separator);
    if (last == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view folder = pageUrl.substr(0, last);
    std::string_view rest = reference;
    for (std::size_t dots = rest.find(".."); dots != std::string_view::npos;
         dots = rest.find("..")) {
        // The ".." and the separator after it go; the folder loses its last segment.
        rest.remove_prefix(std::min(dots + 3, rest.size()));
        std::size_t cut = folder.rfind(separator);
        if (cut == std::string_view::npos) {
            break;
        }
        folder = folder.substr(0, cut);
    }
    if (!rest.empty() && (rest.front() == '/' || rest.front() == '\\')) {
        rest.remove_prefix(1);
    }
    std::string resolved(folder);
    resolved += separator;
    resolved += rest;
    return resolved;
}

}  // namespace wisp
