#pragma once

#include <regex>
#include <string>
#include <string_view>

#include "core/capture/PageOrigin.h"

// Saved pages start with the time they were saved, which a test cannot know: this reads the
// origin record's shape and leaves the rest of the page to be compared byte for byte. The
// record's own form is pinned by the page writer's tests.
namespace wisp::test {

// The page with its origin comment (when it records `url`) and its save time's META taken out;
// the page unchanged when either is missing or different, so that a comparison shows it.
inline std::string WithoutOriginRecord(std::string_view page, std::string_view url = {}) {
    static const std::regex kRecord(
        "^((?:<!DOCTYPE[^>]*>)?)(<!-- saved from url=\\(\\d{4,}\\)\\S+ -->\\r\\n)?"
        "(<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">)"
        "<meta name=\"wisp:saved\" content=\"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\">",
        std::regex::icase);
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_search(page.begin(), page.end(), match, kRecord) ||
        match[2].str() != OriginCommentText(url)) {
        return std::string(page);
    }
    return match[1].str() + match[3].str() + std::string(match.suffix().first, page.end());
}

}  // namespace wisp::test
