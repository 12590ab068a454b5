#pragma once

#include <string>

// The directory of a compiled help file as its readers walk it. chmcmd (Free Pascal 3.2)
// writes the listing chunks in a chain that starts at chunk 0 but names chunk 1 as its first
// in the directory header, so readers that list the file by that chain (chmlib's enumerate,
// and the viewers built on it) miss every entry of chunk 0 once a book needs two chunks:
// the header is set to the chain the chunks themselves describe.
namespace wisp {

// Empty when the header names the chain's first and last chunks, as it is or once mended;
// otherwise what stands in the way.
std::string MendListingChain(const std::string& compiledFile);

}  // namespace wisp
