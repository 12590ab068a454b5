#include <gtest/gtest.h>

#include "core/dialogs/LinkColors.h"
#include "support/MemorySettingsStore.h"

namespace wisp {
namespace {

TEST(LinkColors, ThreeNumbersOfAByteInTheSettingsReplaceTheDefaultsReadOnly) {
    const std::pair<const char*, std::optional<RgbColor>> cases[] = {
        {"0,128,0", RgbColor{0, 128, 0}},
        {"255,255,255", RgbColor{255, 255, 255}},
        {"007,8,9", RgbColor{7, 8, 9}},
        {"0,128", std::nullopt},
        {"0,128,0,4", std::nullopt},
        {"256,0,0", std::nullopt},
        {"0,,0", std::nullopt},
        {",1,2", std::nullopt},
        {"1,2,", std::nullopt},
        {" 1,2,3", std::nullopt},
        {"1,2,3x", std::nullopt},
        {"-1,2,3", std::nullopt},
        {"0000,1,2", std::nullopt},
        {"", std::nullopt},
        // Longer than the 12-byte buffer the setting is read through.
        {"0,0,0      ", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseLinkColor(text), expected) << text;
    }

    // Only a well-formed setting replaces its default; the settings are opened to read.
    test::MemorySettingsStore settings;
    EXPECT_EQ(ReadLinkColors(settings).link, kDefaultLinkColor);
    EXPECT_EQ(ReadLinkColors(settings).visited, kDefaultVisitedColor);

    auto set = [&settings](std::string_view name, std::string_view value) {
        settings.WriteString(SettingsHive::CurrentUser, kBrowserSettingsKey, name, value,
                             KeyAccess::Write, true);
    };
    set(kAnchorColorValue, "0,128");
    set(kAnchorColorVisitedValue, "1,2,3");
    LinkColors colors = ReadLinkColors(settings);
    EXPECT_EQ(colors.link, kDefaultLinkColor);
    EXPECT_EQ(colors.visited, (RgbColor{1, 2, 3}));
    EXPECT_EQ(settings.lastReadAccess, KeyAccess::Read);
}

}  // namespace
}  // namespace wisp
