#include "core/capture/PastedPageTitle.h"

#include "core/text/Utf8.h"

namespace wisp {

std::string PastedPageTitle(std::string_view parsedTitle) {
    std::string title = WithoutBidiControls(parsedTitle);
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
