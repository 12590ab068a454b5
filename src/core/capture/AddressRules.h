#pragma once

#include <string_view>

// How the capture tells web addresses from local locations.
namespace wisp {

// The address holds "http://" or "https://" somewhere: the capture treats it as a web
// address (a base for URL combination, or a reference taken as it stands).
bool MentionsWebScheme(std::string_view address);

// The address holds a colon directly followed by a backslash, as a drive path does.
bool HasDrivePathMarker(std::string_view address);

// The address begins with "http://" or "https://", in any case: a resource that a page
// from the web may have fetched.
bool IsWebUrl(std::string_view address);

}  // namespace wisp
