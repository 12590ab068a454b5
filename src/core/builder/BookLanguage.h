#pragma once

#include <optional>
#include <string>
#include <string_view>

// The language a book is built for: its tag for an EPUB, and for a compiled help file the
// locale identifier its viewers read and the Windows code page they decode its names in.
namespace wisp {

struct BookLanguage {
    std::string tag;  // "fr", "pt-BR", "zh-TW"
    unsigned lcid = 0;
    unsigned codePage = 0;
    std::string_view name;  // in English, beside the identifier in a project file
};

// A language named as a tag ("fr", "pt_BR", "zh-TW"), a locale ("fr_FR.UTF-8", "de_DE@euro"),
// or a locale identifier ("0x40c", "1036"); a tag's region falls back to its language ("fr-BE"
// is French). Nullopt for one that is not known, or names no language ("C", "POSIX").
std::optional<BookLanguage> FindBookLanguage(std::string_view name);

// The reader's language from the locale variables as the C library reads them (LC_ALL before
// LANG); English when neither names a known language.
BookLanguage ReaderLanguage(std::string_view lcAll, std::string_view lang);

}  // namespace wisp
