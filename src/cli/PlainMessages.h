#pragma once

#include <string>
#include <string_view>

// The command and the extension's panel speak plain English where the bar keeps the texts
// its message boxes have always shown: a refusal of the core is said in the command's words.
namespace wisp::cli {

// The command's words for one of the bar's messages; any other message as it is.
std::string PlainMessage(std::string_view message);

}  // namespace wisp::cli
