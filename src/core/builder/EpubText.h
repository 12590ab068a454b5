#pragma once

#include <string>
#include <string_view>
#include <vector>

// The XML files of an EPUB package around its content documents: the container, the
// package document and the navigation document. Every name from the book is escaped.
namespace wisp {

inline constexpr std::string_view kEpubMimeType = "application/epub+zip";
inline constexpr std::string_view kEpubFolder = "EPUB";  // where the package lives in the zip
inline constexpr std::string_view kXhtmlMediaType = "application/xhtml+xml";

// The media type an EPUB reader expects for a file, by its extension.
std::string MediaTypeOf(std::string_view fileName);

struct EpubItem {
    std::string id;
    std::string href;  // relative to the package document
    std::string mediaType;
    std::string properties;  // "nav" for the navigation document
};

struct EpubSpineItem {
    std::string idref;
    bool linear = true;  // false for frames' pages: read only when a page leads there
};

struct EpubPackage {
    std::string identifier;  // "urn:uuid:..."
    std::string title;
    std::string language;
    std::string modified;  // CCYY-MM-DDThh:mm:ssZ
    std::vector<EpubItem> manifest;
    std::vector<EpubSpineItem> spine;
};

// A node of the navigation tree: a page, or a folder heading its own entries.
struct EpubNavEntry {
    std::string label;
    std::string href;  // empty for a folder that opens no page
    std::vector<EpubNavEntry> children;
};

std::string MakeContainerXml();
std::string MakePackageDocument(const EpubPackage& package);
// `firstPage` (may be empty) is where reading starts, given as a landmark.
std::string MakeNavDocument(std::string_view title, std::string_view language,
                            const std::vector<EpubNavEntry>& entries, std::string_view firstPage);

}  // namespace wisp
