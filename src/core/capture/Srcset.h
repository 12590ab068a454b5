#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The image candidates of a srcset attribute, read as a browser reads them: URLs separated
// from their width or density descriptors by white space, candidates by commas.
namespace wisp {

struct SrcsetCandidate {
    std::size_t start;  // the candidate's URL within the attribute value
    std::size_t length;
};

std::vector<SrcsetCandidate> ParseSrcset(std::string_view value);

}  // namespace wisp
