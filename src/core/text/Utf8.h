#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8, read strictly as browsers decode it: a stray continuation byte, a cut sequence, an
// overlong form, a surrogate or a value beyond U+10FFFF is no character.
namespace wisp {

// The length (1 to 4) of the character at `text[at]`, its code point in `codePoint`; 0 when
// no well-formed character starts there.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint);

bool IsValidUtf8(std::string_view text);

// Appends the code point as UTF-8; zero, a surrogate or a value beyond Unicode appends U+FFFD,
// as browsers read character references and style-sheet escapes naming them.
void AppendUtf8(std::string& out, char32_t codePoint);

// The text without the controls of bidirectional text (U+061C, U+200E-U+200F, U+202A-U+202E,
// U+2066-U+2069): in a name they make "a\u202Egnp.exe" show as "aexe.png".
std::string WithoutBidiControls(std::string_view text);

}  // namespace wisp
