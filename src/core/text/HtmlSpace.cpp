#include "core/text/HtmlSpace.h"

namespace wisp {

std::string CollapseHtmlSpace(std::string_view text) {
    std::string out;
    bool space = false;
    for (char c : text) {
        if (IsHtmlSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space) {
            out += ' ';
            space = false;
        }
        out += c;
    }
    return out;
}

}  // namespace wisp
