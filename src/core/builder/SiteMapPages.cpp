#include "core/builder/SiteMapPages.h"

namespace wisp {

bool IsSiteMapPage(std::string_view fileName) {
    std::size_t htm = fileName.find(".htm");
    if (htm != std::string_view::npos && htm > 0) {
        return true;
    }
    return fileName.find(".html", 1) != std::string_view::npos;
}

std::string SiteMapPageName(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.rfind('.')));
}

}  // namespace wisp
