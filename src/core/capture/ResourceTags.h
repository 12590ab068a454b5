#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// The tags whose references a captured page has fetched, and how a reference is read out
// of a tag's text. Markup is expected as the browser serialises it: tag names in capitals,
// attribute names in lower case; everything is compared exactly.
namespace wisp {

struct ResourceTag {
    std::string_view tagText;    // matched as a prefix: "<A" also finds AREA
    std::string_view attribute;  // the attribute name followed by "="
    bool zipArchivesOnly;        // localized only when the value ends in ".zip" or ".ZIP"
};

// In the order the scan visits them.
inline constexpr std::array<ResourceTag, 6> kResourceTags = {{
    {"<A", "href=", true},
    {"<FRAME", "src=", false},
    {"<SCRIPT", "src=", false},
    {"<IMG", "src=", false},
    {"<LINK", "href=", false},
    {"<INPUT", "src=", false},
}};

// Where the value lies inside the tag text.
struct AttributeValue {
    std::size_t start;
    std::size_t length;
};

// The value of `attribute` (such as "src=") in `tagText`: the first of the forms
// attribute + '"', attribute + "'" and the bare attribute that occurs anywhere in the tag
// decides; the value runs to that form's terminator (double quote, single quote, space).
// nullopt when no form occurs or the chosen form's terminator is missing.
std::optional<AttributeValue> FindAttributeValue(std::string_view tagText,
                                                 std::string_view attribute);

// The value names a zip archive: it ends in ".zip" or ".ZIP", exactly.
bool IsZipArchiveReference(std::string_view value);

}  // namespace wisp
