#include "core/builder/EpubText.h"

#include <array>

#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"

namespace wisp {
namespace {

void AppendNavList(std::string& text, const std::vector<EpubNavEntry>& entries) {
    text += "<ol>";
    for (const EpubNavEntry& entry : entries) {
        text += "<li>";
        if (entry.href.empty()) {
            text += "<span>" + EscapeXml(entry.label) + "</span>";
        } else {
            text += "<a href=\"" + EscapeXml(entry.href) + "\">" + EscapeXml(entry.label) + "</a>";
        }
        if (!entry.children.empty()) {
            AppendNavList(text, entry.children);
        }
        text += "</li>\n";
    }
    text += "</ol>";
}

}  // namespace

std::string MediaTypeOf(std::string_view fileName) {
    std::size_t dot = fileName.rfind('.');
    std::string extension =
        dot == std::string_view::npos ? "" : ToLowerAscii(fileName.substr(dot + 1));
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kTypes{{
        {"xhtml", kXhtmlMediaType},
        {"css", "text/css"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"jpe", "image/jpeg"},
        {"gif", "image/gif"},
        {"svg", "image/svg+xml"},
        {"webp", "image/webp"},
        {"bmp", "image/bmp"},
        {"ico", "image/vnd.microsoft.icon"},
        {"js", "application/javascript"},
        {"ttf", "font/ttf"},
        {"otf", "font/otf"},
        {"woff", "font/woff"},
        {"woff2", "font/woff2"},
        {"mp3", "audio/mpeg"},
        {"mp4", "video/mp4"},
        {"zip", "application/zip"},
        {"pdf", "application/pdf"},
        {"txt", "text/plain"},
        {"xml", "application/xml"},
    }};
    for (const auto& [known, type] : kTypes) {
        if (extension == known) {
            return std::string(type);
        }
    }
    return "application/octet-stream";
}

std::string MakeContainerXml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
           "<rootfiles><rootfile full-path=\"" +
           std::string(kEpubFolder) +
           "/package.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles>"
           "</container>\n";
}

std::string MakePackageDocument(const EpubPackage& package) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
        "unique-identifier=\"book-id\" xml:lang=\"" +
        EscapeXml(package.language) +
        "\">\n<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
        "<dc:identifier id=\"book-id\">" +
        EscapeXml(package.identifier) + "</dc:identifier>\n<dc:title>" + EscapeXml(package.title) +
        "</dc:title>\n<dc:language>" + EscapeXml(package.language) +
        "</dc:language>\n<meta property=\"dcterms:modified\">" + EscapeXml(package.modified) +
        "</meta>\n</metadata>\n<manifest>\n";
    for (const EpubItem& item : package.manifest) {
        text += "<item id=\"" + EscapeXml(item.id) + "\" href=\"" + EscapeXml(item.href) +
                "\" media-type=\"" + EscapeXml(item.mediaType) + "\"";
        if (!item.properties.empty()) {
            text += " properties=\"" + EscapeXml(item.properties) + "\"";
        }
        text += "/>\n";
    }
    text += "</manifest>\n<spine>\n";
    for (const EpubSpineItem& item : package.spine) {
        text += "<itemref idref=\"" + EscapeXml(item.idref) + "\"";
        if (!item.linear) {
            text += " linear=\"no\"";
        }
        text += "/>\n";
    }
    text += "</spine>\n</package>\n";
    return text;
}

std::string MakeNavDocument(std::string_view title, std::string_view language,
                            const std::vector<EpubNavEntry>& entries, std::string_view firstPage) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
        "lang=\"" +
        EscapeXml(language) + "\" xml:lang=\"" + EscapeXml(language) + "\">\n<head><title>" +
        EscapeXml(title) + "</title></head>\n<body>\n<nav epub:type=\"toc\" id=\"toc\"><h1>" +
        EscapeXml(title) + "</h1>\n";
    AppendNavList(text, entries);
    text += "</nav>\n";
    if (!firstPage.empty()) {
        text +=
            "<nav epub:type=\"landmarks\" hidden=\"hidden\"><ol><li><a epub:type=\"bodymatter\" "
            "href=\"" +
            EscapeXml(firstPage) + "\">" + EscapeXml(title) + "</a></li></ol></nav>\n";
    }
    text += "</body>\n</html>\n";
    return text;
}

}  // namespace wisp
