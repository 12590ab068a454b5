#pragma once

#include <string>
#include <string_view>

// Text written into HTML or XML, in content or in a quoted attribute value.
namespace wisp {

// "&", "<", ">", '"' and "'" written as references; everything else as it is.
std::string EscapeMarkup(std::string_view text);

// As EscapeMarkup, and what XML cannot hold (control characters, broken UTF-8, U+FFFE and
// U+FFFF) left out.
std::string EscapeXml(std::string_view text);

// Character references resolved as a browser resolves them in an attribute value, once:
// numeric ones (with or without their semicolon), the named ones EscapeMarkup writes and
// "&nbsp;"; a named one without its semicolon stays text before a letter, a digit or "=".
std::string DecodeMarkupReferences(std::string_view text);

}  // namespace wisp
