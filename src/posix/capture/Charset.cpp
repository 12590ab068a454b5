#include "posix/capture/Charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "core/text/AsciiCase.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

// The value after "charset=" at `at`: quoted or up to a separator.
std::string ReadCharsetValue(std::string_view text, std::size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '"' || text[at] == '\'')) {
        ++at;
    }
    std::size_t end = at;
    while (end < text.size() && !std::strchr(" \t\r\n;\"'>/,", text[end])) {
        ++end;
    }
    return ToLowerAscii(text.substr(at, end - at));
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
    ~Iconv() {
        if (Valid()) {
            ::iconv_close(handle_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return handle_; }

private:
    iconv_t handle_;
};

std::optional<std::string> Convert(std::string_view bytes, const std::string& charset) {
    Iconv converter("UTF-8", charset.c_str());
    if (!converter.Valid()) {
        return std::nullopt;
    }
    std::string out;
    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[16384];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = ::iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte the charset does not define: the replacement character, then go on.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    return out;
}

}  // namespace

std::string CharsetFromContentType(std::string_view contentType) {
    std::string lower = ToLowerAscii(contentType);
    std::size_t at = lower.find("charset=");
    return at == std::string::npos ? std::string() : ReadCharsetValue(lower, at + 8);
}

std::string CharsetFromMeta(std::string_view page) {
    std::string head = ToLowerAscii(page.substr(0, 1024));
    for (std::size_t meta = head.find("<meta"); meta != std::string::npos;
         meta = head.find("<meta", meta + 5)) {
        std::size_t end = head.find('>', meta);
        std::string_view tag = std::string_view(head).substr(
            meta, end == std::string::npos ? std::string::npos : end - meta);
        std::size_t at = tag.find("charset=");
        if (at != std::string_view::npos) {
            std::string charset = ReadCharsetValue(tag, at + 8);
            if (!charset.empty()) {
                return charset;
            }
        }
    }
    return {};
}

std::optional<std::string> DecodePage(std::string bytes, std::string_view contentType) {
    std::string charset = CharsetFromContentType(contentType);
    if (charset.empty() && bytes.starts_with("\xEF\xBB\xBF")) {
        charset = "utf-8";
    }
    if (charset.empty() && (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))) {
        charset = "utf-16";
    }
    if (charset.empty()) {
        charset = CharsetFromMeta(bytes);
    }
    if (charset.empty()) {
        charset = IsValidUtf8(bytes) ? "utf-8" : "windows-1252";
    }
    if (charset == "utf-8" || charset == "utf8") {
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            bytes.erase(0, 3);
        }
        if (IsValidUtf8(bytes)) {
            return bytes;  // the page's own text, handed on
        }
    }
    // Browsers read a page labelled Latin-1 as windows-1252.
    if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii") {
        charset = "windows-1252";
    }
    std::optional<std::string> text = Convert(bytes, charset);
    if (text && text->starts_with("\xEF\xBB\xBF")) {
        text->erase(0, 3);
    }
    return text;
}

}  // namespace wisp
