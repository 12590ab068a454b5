#pragma once

#include <string>
#include <string_view>

// A page saved as the scripts left it is a snapshot: run again when the copy opens, the
// scripts would build what they built a second time, or look for what was never saved.
namespace wisp {

// The page without its SCRIPT and NOSCRIPT elements and its event handler attributes (on...):
// what the reader saw with the scripts running. Comments stay as they are.
std::string RemoveScripts(std::string_view html);

}  // namespace wisp
