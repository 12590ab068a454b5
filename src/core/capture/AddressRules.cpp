#include "core/capture/AddressRules.h"

#include <cctype>

namespace wisp {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool MentionsWebScheme(std::string_view address) {
    return address.find("http://") != std::string_view::npos ||
           address.find("https://") != std::string_view::npos;
}

bool HasDrivePathMarker(std::string_view address) {
    return address.find(":\\") != std::string_view::npos;
}

bool IsWebUrl(std::string_view address) {
    return StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
}

}  // namespace wisp
