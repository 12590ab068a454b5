#include "core/library/NameChecks.h"

#include "core/library/LibraryNaming.h"

namespace wisp {

namespace {

constexpr std::string_view kForbiddenInNames = "\\/:*?\"<>|";

bool HoldsSeparatorOrIsDotName(std::string_view name) {
    return name == "." || name == ".." || name.find_first_of("\\/") != std::string_view::npos;
}

}  // namespace

std::optional<std::string_view> CheckPageTitle(std::string_view title) {
    if (title.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return kEmptyTitleMessage;
    }
    if (title.find_first_of(kForbiddenInNames) != std::string_view::npos) {
        return kInvalidTitleMessage;
    }
    return std::nullopt;
}

bool IsSingleEntryName(std::string_view name) {
    if (name.empty() || HoldsSeparatorOrIsDotName(name)) {
        return false;
    }
#ifdef _WIN32
    if (name.find_first_not_of(". ") == std::string_view::npos) {
        return false;
    }
#endif
    return true;
}

std::optional<std::string_view> CheckItemName(std::string_view name) {
    if (name.find_first_of(kForbiddenInNames) != std::string_view::npos || name == "." ||
        name == ".." || IsCompanionFolder(name)) {
        return kInvalidItemNameMessage;
    }
    return std::nullopt;
}

std::optional<std::string_view> CheckBookName(std::string_view name) {
    if (name.empty()) {
        return kEmptyBookNameMessage;
    }
    if (HoldsSeparatorOrIsDotName(name) ||
        name.find_first_of(kForbiddenInNames) != std::string_view::npos) {
        return kInvalidBookNameMessage;
    }
    return std::nullopt;
}

std::optional<std::string_view> CheckNewItemName(std::string_view name) {
    std::optional<std::string_view> refusal = CheckItemName(name);
    if (!refusal && !IsSingleEntryName(name)) {
        refusal = kInvalidItemNameMessage;  // a name Windows would strip to nothing
    }
    return refusal;
}

std::optional<std::string_view> CheckNewBookName(std::string_view name) {
    std::optional<std::string_view> refusal = CheckBookName(name);
    if (!refusal && !IsSingleEntryName(name)) {
        refusal = kInvalidBookNameMessage;
    }
    return refusal;
}

}  // namespace wisp
