#pragma once

#include <string>

namespace wisp::test {

// Whether `part` stands anywhere in `text`: the tests' check on a page or a message.
inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace wisp::test
