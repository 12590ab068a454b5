#pragma once

#include <string>
#include <string_view>

// Percent-encoding of addresses (RFC 3986): which bytes stay as they are is the caller's
// rule, since a path for a server, a name in a saved page and an address sent on the network
// each keep a different set; every other byte becomes "%XX" with capital hex digits.
namespace wisp {

// The value of a hexadecimal digit; -1 for any other character.
int HexDigitValue(char c);

// The unreserved characters of a URI: letters, digits, "-", ".", "_" and "~".
constexpr bool IsUriUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendPercentEscape(std::string& out, unsigned char byte);

// Every byte for which `keep(byte)` is false percent-encoded.
template <typename Keep>
std::string PercentEncode(std::string_view text, Keep keep) {
    std::string encoded;
    encoded.reserve(text.size());
    for (char c : text) {
        if (keep(static_cast<unsigned char>(c))) {
            encoded += c;
        } else {
            AppendPercentEscape(encoded, static_cast<unsigned char>(c));
        }
    }
    return encoded;
}

// A file path as an address's path: the unreserved characters and "/" kept.
std::string PercentEncodePath(std::string_view path);

// Each "%" followed by two hexadecimal digits replaced by the byte they give; any other "%"
// stays as written.
std::string PercentDecode(std::string_view text);

}  // namespace wisp
