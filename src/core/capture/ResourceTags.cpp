#include "core/capture/ResourceTags.h"

#include <string>

namespace wisp {

std::optional<AttributeValue> FindAttributeValue(std::string_view tagText,
                                                 std::string_view attribute) {
    struct QuotingStyle {
        std::string_view opening;
        char terminator;
    };
    static constexpr QuotingStyle kStyles[] = {{"\"", '"'}, {"'", '\''}, {"", ' '}};
    for (const QuotingStyle& style : kStyles) {
        std::string searched(attribute);
        searched += style.opening;
        std::size_t found = tagText.find(searched);
        if (found == std::string_view::npos) {
            continue;
        }
        // The first form found decides, even when its terminator is missing.
        std::size_t start = found + searched.size();
        std::size_t end = tagText.find(style.terminator, start);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        return AttributeValue{start, end - start};
    }
    return std::nullopt;
}

bool IsZipArchiveReference(std::string_view value) {
    return value.ends_with(".zip") || value.ends_with(".ZIP");
}

}  // namespace wisp
