#include "core/library/LibraryNaming.h"

#include <array>

#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"
#include "core/text/AsciiCase.h"
#include "core/text/PercentEncoding.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool IsRefusedInFileName(unsigned char c) {
    return c < 0x20 || c == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 name devices on Windows, with any extension.
bool IsWindowsDeviceName(std::string_view name) {
    std::string base = ToUpperAscii(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : kPlain) {
        if (base == device) {
            return true;
        }
    }
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

// A name longer than a file system takes (255 bytes on Linux, 255 UTF-16 units on Windows,
// never more units than bytes) is cut to this many bytes, with room left for the number that
// tells two files of one name apart.
constexpr std::size_t kShortenedNameBytes = 240;
// An extension longer than this is no extension worth keeping through a cut.
constexpr std::size_t kMaxKeptExtensionBytes = 16;

// Shortens an over-long name before its extension, on a character boundary.
void ShortenName(std::string& name) {
    if (name.size() <= kMaxNameChars) {
        return;
    }
    std::size_t dot = name.rfind('.');
    std::string extension;
    if (dot != std::string::npos && dot > 0 && name.size() - dot <= kMaxKeptExtensionBytes) {
        extension = name.substr(dot);
    }
    std::size_t keep = kShortenedNameBytes - extension.size();
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;  // inside a character: cut before it
    }
    while (keep > 0 && (name[keep - 1] == '.' || name[keep - 1] == ' ')) {
        --keep;  // Windows drops them from a name's end
    }
    name = name.substr(0, keep) + extension;
}

// Makes a name taken from a URL safe to create inside the companion folder: characters that
// cannot be in a file name (a backslash above all, which would climb out of the folder on
// Windows) become "_", a device name gets a "_" in front and a name too long is shortened.
// Nothing is left to name a file when the result is empty or only dots and spaces.
bool MakeSafeFileName(std::string& name) {
    for (char& c : name) {
        if (IsRefusedInFileName(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    if (name.find_first_not_of(". ") == std::string::npos) {
        return false;
    }
    if (IsWindowsDeviceName(name)) {
        name.insert(0, 1, '_');
    }
    ShortenName(name);
    return true;
}

}  // namespace

std::string JoinPath(std::string_view a, std::string_view b) {
    std::string joined(a);
    if (joined.empty() || joined.back() != kPathSeparator) {
        joined += kPathSeparator;
    }
    joined += b;
    return joined;
}

std::optional<std::string> MakePagePath(std::string_view folder, std::string_view title) {
    std::string path = JoinPath(folder, title);
    path += ".htm";
    if (!FitsPathBuffer(path)) {
        return std::nullopt;
    }
    return path;
}

std::string MakeCompanionFolderName(std::string_view pagePath) {
    std::size_t separator = pagePath.rfind(kPathSeparator);
    std::size_t nameStart = (separator == std::string_view::npos) ? 0 : separator + 1;
    std::string_view fileName = pagePath.substr(nameStart);
    std::size_t dot = fileName.rfind('.');
    std::string folder(fileName.substr(0, dot));
    folder += ".files";
    return folder;
}

std::string CompanionFolderOfPage(std::string_view pagePath) {
    if (pagePath.size() < 4) {
        return {};
    }
    std::string folder(pagePath.substr(0, pagePath.size() - 4));
    folder += ".files";
    return folder;
}

namespace {

// The extensions of files a browser loads as they are (style sheets, scripts, pictures,
// fonts, media): a query behind one of them does not make the resource a page.
bool IsStaticResourceExtension(std::string_view segment) {
    std::size_t dot = segment.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    std::string extension = ToLowerAscii(segment.substr(dot + 1));
    static constexpr std::array<std::string_view, 36> kStatic = {
        "css", "js",  "mjs", "json", "png",  "jpg",  "jpeg",  "gif", "svg", "svgz", "webp", "avif",
        "ico", "bmp", "cur", "tif",  "tiff", "woff", "woff2", "ttf", "otf", "eot",  "mp3",  "mp4",
        "m4a", "ogg", "oga", "ogv",  "webm", "wav",  "flac",  "vtt", "srt", "pdf",  "zip",  "wasm"};
    for (std::string_view known : kStatic) {
        if (extension == known) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool MakeResourceFileName(std::string_view url, std::string& name) {
    if (url.empty()) {
        return true;
    }
    // The fragment names a place inside the resource, not another file.
    url = url.substr(0, url.find('#'));
    std::string candidate;
    std::size_t question = url.find('?');
    if (question != std::string_view::npos) {
        std::string_view beforeQuery = url.substr(0, question);
        std::size_t slash = beforeQuery.rfind('/');
        if (beforeQuery.empty() || slash == std::string_view::npos) {
            return false;
        }
        std::string_view segment = beforeQuery.substr(slash + 1);
        if (IsStaticResourceExtension(segment)) {
            // A version query (site.css?v=3) must not turn a style sheet into a page.
            candidate = PercentDecode(segment);
        } else {
            // A query on a dynamic page (show.asp?x) gives a page.
            std::size_t dot = segment.find('.');
            candidate = PercentDecode(segment.substr(0, dot));
            candidate += ".htm";
        }
    } else {
        std::size_t slash = url.rfind('/');
        if (slash == std::string_view::npos) {
            return false;
        }
        // Saved under the name the browser looks for: "with%20space.png" is "with space.png".
        candidate = PercentDecode(url.substr(slash + 1));
    }
    if (!MakeSafeFileName(candidate)) {
        return false;
    }
    name = std::move(candidate);
    return true;
}

std::string MakeTitleFileName(std::string_view title) {
    std::string name;
    bool lastWasSpace = true;  // drops leading white space
    for (unsigned char c : WithoutBidiControls(title)) {
        if (c == '\t' || c == '\n' || c == '\r' || c == ' ') {
            if (!lastWasSpace) {
                name += ' ';
            }
            lastWasSpace = true;
            continue;
        }
        lastWasSpace = false;
        name += IsRefusedInFileName(c) ? '_' : static_cast<char>(c);
    }
    // Kept short enough for a page path; cut only between characters.
    constexpr std::size_t kMostTitleBytes = 120;
    if (name.size() > kMostTitleBytes) {
        std::size_t cut = kMostTitleBytes;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        name.resize(cut);
    }
    // Windows drops trailing dots and spaces from a file name.
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) {
        name.pop_back();
    }
    if (name.empty()) {
        return "Untitled";
    }
    if (IsWindowsDeviceName(name)) {
        name.insert(0, 1, '_');
    }
    return name;
}

bool IsPageFile(std::string_view name) {
    return EndsWith(name, ".htm") || EndsWith(name, ".HTM");
}

bool IsCompanionFolder(std::string_view name) {
    return EndsWith(name, ".files") || EndsWith(name, "_files");
}

}  // namespace wisp
