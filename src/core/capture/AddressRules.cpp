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

bool IsLocalAddress(std::string_view address) {
    const bool drivePath = address.size() >= 3 && ToLowerAscii(address[0]) >= 'a' &&
                           ToLowerAscii(address[0]) <= 'z' &&
                           address[1] == ':' && (address[2] == '\\' || address[2] == '/');
    return StartsWithNoCase(address, "file:") || address.starts_with('/') ||
           address.starts_with("\\\\") || drivePath;
}

bool MayFetchFor(std::string_view pageUrl, std::string_view resourceUrl) {
    return IsWebUrl(resourceUrl) || IsLocalAddress(pageUrl);
}

}  // namespace wisp
