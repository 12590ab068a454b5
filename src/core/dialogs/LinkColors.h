#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/platform/SettingsStore.h"

// The colours of a link label: the reader's browser settings when they are well formed,
// blue and purple otherwise.
namespace wisp {

struct RgbColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

inline constexpr RgbColor kDefaultLinkColor{0, 0, 255};
inline constexpr RgbColor kDefaultVisitedColor{128, 0, 128};

inline constexpr std::string_view kBrowserSettingsKey =
    "Software\\Microsoft\\Internet Explorer\\Settings";
inline constexpr std::string_view kAnchorColorValue = "Anchor Color";
inline constexpr std::string_view kAnchorColorVisitedValue = "Anchor Color Visited";

// "red,green,blue": three decimal numbers of 0 to 255 separated by commas, at most 11
// characters (the 12-byte buffer the setting is read through); nullopt otherwise.
std::optional<RgbColor> ParseLinkColor(std::string_view text);

struct LinkColors {
    RgbColor link = kDefaultLinkColor;
    RgbColor visited = kDefaultVisitedColor;
};

// Reads both settings from the current user's browser settings, opening the key for
// reading only: nothing is written, and a limited account may still read it.
LinkColors ReadLinkColors(const ISettingsStore& settings);

}  // namespace wisp
