#pragma once

#include <string>

// Character references in markup and escapes in style sheets name code points; these become
// UTF-8 in the text the capture rewrites.
namespace wisp {

// Appends the code point as UTF-8; zero, a surrogate or a value beyond Unicode appends U+FFFD,
// as browsers read them.
void AppendUtf8(std::string& out, unsigned long code);

}  // namespace wisp
