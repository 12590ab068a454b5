#include "core/capture/PastedPageTitle.h"

namespace wisp {

std::string PastedPageTitle(std::string_view parsedTitle) {
    std::string title(parsedTitle);
    for (char& c : title) {
        if (c == '/' || c == '\\') {
            c = '_';
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    if (title.find_first_not_of(". ") == std::string::npos) {
        return std::string(kNewFileTitle);
    }
    return title;
}

}  // namespace wisp
