#include "core/library/NameChecks.h"

namespace wisp {

std::optional<std::string_view> CheckPageTitle(std::string_view title) {
    if (title.empty()) {
        return kEmptyTitleMessage;
    }
    if (title.find_first_of("\\/*?\"<>|") != std::string_view::npos) {
        return kInvalidTitleMessage;
    }
    return std::nullopt;
}

std::optional<std::string_view> CheckItemName(std::string_view name) {
    if (name.find_first_of("\\/:*?\"<>|") != std::string_view::npos) {
        return kInvalidItemNameMessage;
    }
    return std::nullopt;
}

std::optional<std::string_view> CheckBookName(std::string_view name) {
    if (name.empty()) {
        return kEmptyBookNameMessage;
    }
    return std::nullopt;
}

}  // namespace wisp
