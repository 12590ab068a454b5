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

// The address names a place on this machine: a file URL, an absolute path or a drive or
// network path.
bool IsLocalAddress(std::string_view address);

// Whether a page at `pageUrl` may have `resourceUrl` fetched: a web address always, anything
// else only for a page that itself came from this machine. A page from the web, or from
// anywhere else (about:blank, data:), never makes the reader's machine copy its own files.
bool MayFetchFor(std::string_view pageUrl, std::string_view resourceUrl);

}  // namespace wisp
