#include "core/dialogs/LinkColors.h"

#include <array>
#include <string>

namespace wisp {
namespace {

constexpr std::size_t kColorTextLimit = 11;

}  // namespace

std::optional<RgbColor> ParseLinkColor(std::string_view text) {
    if (text.size() > kColorTextLimit) {
        return std::nullopt;
    }
    std::array<int, 3> parts{};
    std::size_t part = 0;
    std::size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + (c - '0');
            if (++digits > 3 || parts[part] > 255) {
                return std::nullopt;
            }
        } else if (c == ',' && digits > 0 && part < 2) {
            ++part;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits == 0) {
        return std::nullopt;
    }
    return RgbColor{static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
                    static_cast<std::uint8_t>(parts[2])};
}

LinkColors ReadLinkColors(const ISettingsStore& settings) {
    LinkColors colors;
    auto read = [&settings](std::string_view name, RgbColor& color) {
        std::optional<std::string> text = settings.ReadString(
            SettingsHive::CurrentUser, kBrowserSettingsKey, name, KeyAccess::Read);
        if (text) {
            if (std::optional<RgbColor> parsed = ParseLinkColor(*text)) {
                color = *parsed;
            }
        }
    };
    read(kAnchorColorValue, colors.link);
    read(kAnchorColorVisitedValue, colors.visited);
    return colors;
}

}  // namespace wisp
