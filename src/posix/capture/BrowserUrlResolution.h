#pragma once

#include <optional>
#include <string>
#include <string_view>

// Resolution of a relative reference against an absolute base address the way a web
// browser resolves it: uriparser's reference resolution (RFC 3986, section 5.2) after a
// browser's clean-up of the reference (outer spaces and control characters trimmed, tabs and
// line breaks dropped, a backslash in the path of an http, https, ftp, file, ws or wss address
// read as "/", "http:x" on an http page read as "x"). Nothing is escaped or unescaped, and
// the scheme is written in lower case.
namespace wisp {

std::optional<std::string> ResolveAsBrowser(std::string_view base, std::string_view reference);

}  // namespace wisp
