#include "core/builder/BookLanguage.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace wisp {
namespace {

struct KnownLanguage {
    std::string_view tag;  // lower case, "-" between its parts
    unsigned lcid;
    unsigned codePage;
    std::string_view name;
};

// A tag with a region comes before its language alone, which stands for the region where
// the language is mostly written.
constexpr std::array<KnownLanguage, 58> kLanguages{{
    {"en", 0x409, 1252, "English (United States)"},
    {"en-gb", 0x809, 1252, "English (United Kingdom)"},
    {"fr", 0x40c, 1252, "French (France)"},
    {"fr-ca", 0xc0c, 1252, "French (Canada)"},
    {"fr-be", 0x80c, 1252, "French (Belgium)"},
    {"fr-ch", 0x100c, 1252, "French (Switzerland)"},
    {"de", 0x407, 1252, "German (Germany)"},
    {"de-at", 0xc07, 1252, "German (Austria)"},
    {"de-ch", 0x807, 1252, "German (Switzerland)"},
    {"es", 0xc0a, 1252, "Spanish (Spain)"},
    {"es-mx", 0x80a, 1252, "Spanish (Mexico)"},
    {"it", 0x410, 1252, "Italian (Italy)"},
    {"pt", 0x816, 1252, "Portuguese (Portugal)"},
    {"pt-br", 0x416, 1252, "Portuguese (Brazil)"},
    {"nl", 0x413, 1252, "Dutch (Netherlands)"},
    {"nl-be", 0x813, 1252, "Dutch (Belgium)"},
    {"da", 0x406, 1252, "Danish"},
    {"sv", 0x41d, 1252, "Swedish"},
    {"nb", 0x414, 1252, "Norwegian (Bokmal)"},
    {"no", 0x414, 1252, "Norwegian (Bokmal)"},
    {"nn", 0x814, 1252, "Norwegian (Nynorsk)"},
    {"fi", 0x40b, 1252, "Finnish"},
    {"is", 0x40f, 1252, "Icelandic"},
    {"ca", 0x403, 1252, "Catalan"},
    {"eu", 0x42d, 1252, "Basque"},
    {"gl", 0x456, 1252, "Galician"},
    {"id", 0x421, 1252, "Indonesian"},
    {"ms", 0x43e, 1252, "Malay"},
    {"af", 0x436, 1252, "Afrikaans"},
    {"pl", 0x415, 1250, "Polish"},
    {"cs", 0x405, 1250, "Czech"},
    {"sk", 0x41b, 1250, "Slovak"},
    {"hu", 0x40e, 1250, "Hungarian"},
    {"sl", 0x424, 1250, "Slovenian"},
    {"hr", 0x41a, 1250, "Croatian"},
    {"ro", 0x418, 1250, "Romanian"},
    {"ru", 0x419, 1251, "Russian"},
    {"uk", 0x422, 1251, "Ukrainian"},
    {"be", 0x423, 1251, "Belarusian"},
    {"bg", 0x402, 1251, "Bulgarian"},
    {"el", 0x408, 1253, "Greek"},
    {"tr", 0x41f, 1254, "Turkish"},
    {"he", 0x40d, 1255, "Hebrew"},
    {"ar", 0x401, 1256, "Arabic (Saudi Arabia)"},
    {"fa", 0x429, 1256, "Farsi"},
    {"et", 0x425, 1257, "Estonian"},
    {"lv", 0x426, 1257, "Latvian"},
    {"lt", 0x427, 1257, "Lithuanian"},
    {"vi", 0x42a, 1258, "Vietnamese"},
    {"th", 0x41e, 874, "Thai"},
    {"ja", 0x411, 932, "Japanese"},
    {"ko", 0x412, 949, "Korean"},
    // For Chinese the script, which the region stands for, picks the code page.
    {"zh", 0x804, 936, "Chinese (People's Republic of China)"},
    {"zh-cn", 0x804, 936, "Chinese (People's Republic of China)"},
    {"zh-sg", 0x1004, 936, "Chinese (Singapore)"},
    {"zh-hans", 0x804, 936, "Chinese (People's Republic of China)"},
    {"zh-tw", 0x404, 950, "Chinese (Taiwan)"},
    {"zh-hk", 0xc04, 950, "Chinese (Hong Kong)"},
}};

BookLanguage Made(const KnownLanguage& known) {
    std::string tag(known.tag);
    if (std::size_t dash = tag.find('-'); dash != std::string::npos) {
        for (std::size_t i = dash + 1; i < tag.size(); ++i) {
            tag[i] = static_cast<char>(tag[i] >= 'a' && tag[i] <= 'z' ? tag[i] - 'a' + 'A' : tag[i]);
        }
        if (tag.size() - dash - 1 > 2) {  // a script ("Hans") has one capital
            for (std::size_t i = dash + 2; i < tag.size(); ++i) {
                tag[i] = static_cast<char>(tag[i] - 'A' + 'a');
            }
        }
    }
    return {tag, known.lcid, known.codePage, known.name};
}

const KnownLanguage* FindTag(std::string_view tag) {
    auto found = std::find_if(kLanguages.begin(), kLanguages.end(),
                              [tag](const KnownLanguage& known) { return known.tag == tag; });
    return found == kLanguages.end() ? nullptr : &*found;
}

const KnownLanguage* FindLcid(unsigned lcid) {
    auto found = std::find_if(kLanguages.begin(), kLanguages.end(),
                              [lcid](const KnownLanguage& known) { return known.lcid == lcid; });
    return found == kLanguages.end() ? nullptr : &*found;
}

std::optional<unsigned> ParseLcid(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<BookLanguage> FindBookLanguage(std::string_view name) {
    if (std::optional<unsigned> lcid = ParseLcid(name)) {
        const KnownLanguage* known = FindLcid(*lcid);
        return known ? std::optional(Made(*known)) : std::nullopt;
    }
    // "fr_FR.UTF-8@euro": the encoding and the modifier say nothing of the language.
    name = name.substr(0, name.find_first_of(".@"));
    std::string tag;
    for (char c : name) {
        tag += c == '_' ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    // "zh-Hant-TW" and "zh-Hant" are written in the traditional script.
    if (tag.starts_with("zh-hant")) {
        tag = tag.find("-hk") != std::string::npos ? "zh-hk" : "zh-tw";
    }
    while (!tag.empty()) {
        if (const KnownLanguage* known = FindTag(tag)) {
            return Made(*known);
        }
        std::size_t dash = tag.rfind('-');
        tag.resize(dash == std::string::npos ? 0 : dash);
    }
    return std::nullopt;
}

BookLanguage ReaderLanguage(std::string_view lcAll, std::string_view lang) {
    for (std::string_view variable : {lcAll, lang}) {
        if (!variable.empty()) {
            std::optional<BookLanguage> found = FindBookLanguage(variable);
            return found ? *found : Made(kLanguages[0]);
        }
    }
    return Made(kLanguages[0]);
}

}  // namespace wisp
