#include "core/capture/AddressRules.h"

#include "core/text/AsciiCase.h"

namespace wisp {

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
