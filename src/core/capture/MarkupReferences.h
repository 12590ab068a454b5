#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The references of a page beyond the tag table's rows: srcset candidates, the sources of
// pictures, audio and video with their posters and tracks, inline frames, objects, embeds,
// background attributes, SVG image and use references, the style sheet text of style
// elements and style attributes, the imports of inline modules, and links to other documents.
// Unlike the tag table's scan this one reads the markup as markup: tag and attribute names in
// any case, comments and other script text skipped.
namespace wisp {

enum class MarkupReferenceKind { Resource, Frame };

struct MarkupHandlers {
    // The reference as the page means it (character references resolved); the text to write
    // instead, or nullopt to keep it.
    std::function<std::optional<std::string>(std::string_view url, MarkupReferenceKind kind)>
        reference;
    // Style sheet text of a style element or attribute; the text to write instead.
    std::function<std::string(std::string_view css)> css;
    // The address of a link to another document (A, AREA, and a LINK a reader moves by: next,
    // index...); the text to write instead, or nullopt to keep it.
    std::function<std::optional<std::string>(std::string_view url)> link;
    // The text of a script element of type module; the text to write instead.
    std::function<std::string(std::string_view module)> module;
    // The text of a script element of type importmap; the text to write instead.
    std::function<std::string(std::string_view json)> importMap;
};

std::string RewriteMarkupReferences(std::string_view html, const MarkupHandlers& handlers);
// The handlers asked as RewriteMarkupReferences asks them, what they return written nowhere:
// for a caller that only reads the references.
void VisitMarkupReferences(std::string_view html, const MarkupHandlers& handlers);

// The value of attribute `name` (any case) in the tag text that starts at "<", character
// references resolved; nullopt when the tag has no such attribute.
std::optional<std::string> ReadTagAttribute(std::string_view tagText, std::string_view name);

}  // namespace wisp
