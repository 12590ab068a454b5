#include "core/capture/PageOrigin.h"

#include <cstdio>

#include "core/library/PathLimits.h"

namespace wisp {
namespace {

constexpr std::string_view kCommentStart = "<!-- saved from url=(";
constexpr std::string_view kCommentEnd = " -->";
constexpr std::string_view kTimeMetaStart = "<meta name=\"wisp:saved\" content=\"";
// Browsers look for the comment near the top only; a DOCTYPE and the charset line stand
// before the META.
constexpr std::size_t kRecordWindow = 4096;

std::string CommentSafeAddress(std::string_view url) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : url) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '<' || c == '>') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The address of a comment that starts at `at`; nullopt when it is not one.
std::optional<std::string> ReadComment(std::string_view page, std::size_t at) {
    std::size_t digits = at + kCommentStart.size();
    std::size_t close = digits;
    while (close < page.size() && IsDigit(page[close])) {
        ++close;
    }
    if (close - digits < 4 || close >= page.size() || page[close] != ')') {
        return std::nullopt;
    }
    std::size_t end = page.find(kCommentEnd, close + 1);
    std::size_t space = page.find_first_of(" \t\r\n", close + 1);
    if (end == std::string_view::npos || space < end) {
        return std::nullopt;
    }
    return std::string(page.substr(close + 1, end - close - 1));
}

}  // namespace

std::string FormatSaveTime(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const sys_seconds seconds = floor<std::chrono::seconds>(time);
    const sys_days day = floor<days>(seconds);
    const year_month_day date(day);
    const hh_mm_ss clock(seconds - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                  int(clock.minutes().count()), int(clock.seconds().count()));
    return text;
}

std::string OriginCommentText(std::string_view url) {
    std::string text;
    if (!url.empty()) {
        const std::string address = CommentSafeAddress(url);
        std::string length = std::to_string(Utf16Length(address));
        text += kCommentStart;
        text.append(length.size() < 4 ? 4 - length.size() : 0, '0');
        text += length;
        text += ')';
        text += address;
        text += kCommentEnd;
        // Browsers end the comment's line so; a page they saved reads the same.
        text += "\r\n";
    }
    return text;
}

std::string SaveTimeMetaText(std::string_view savedAt) {
    std::string text(kTimeMetaStart);
    text += savedAt;
    text += "\">";
    return text;
}

std::optional<PageOrigin> ReadPageOrigin(std::string_view page) {
    PageOrigin origin;
    bool found = false;
    std::size_t searchEnd = kRecordWindow;
    std::size_t at = page.substr(0, kRecordWindow).find(kCommentStart);
    if (at != std::string_view::npos) {
        if (std::optional<std::string> url = ReadComment(page, at)) {
            origin.url = std::move(*url);
            found = true;
            searchEnd = at + kCommentStart.size() + origin.url.size() + kRecordWindow;
        }
    }
    std::size_t meta = page.substr(0, searchEnd).find(kTimeMetaStart);
    if (meta != std::string_view::npos) {
        std::size_t start = meta + kTimeMetaStart.size();
        std::size_t end = page.find('"', start);
        if (end != std::string_view::npos && end - start <= 32) {
            origin.savedAt = std::string(page.substr(start, end - start));
            found = true;
        }
    }
    return found ? std::optional<PageOrigin>(std::move(origin)) : std::nullopt;
}

}  // namespace wisp
