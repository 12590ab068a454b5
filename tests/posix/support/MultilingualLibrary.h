#pragma once

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <string>

#include "support/TempFolder.h"

// A small library in three languages for the search tests: pages in English, French (one in
// Latin-1) and Japanese in two books, a script and a style sheet whose words no reader sees,
// and a companion folder holding a page of its own. Every file dates from long ago, as saved
// pages mostly do.
namespace wisp::test {

// Dates a file, or every file and folder below a folder, at `seconds` since the epoch.
inline void DateFiles(const std::string& path, long seconds) {
    utimbuf time{seconds, seconds};
    if (!std::filesystem::is_directory(FromUtf8(path))) {
        ::utime(path.c_str(), &time);
        return;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(FromUtf8(path))) {
        ::utime(entry.path().c_str(), &time);
    }
}

inline std::string MakeMultilingualLibrary(const TempFolder& temp) {
    temp.MakeFile("Library/Travel/Rome.htm",
                  "<!-- saved from url=(0023)http://example.org/rome -->\n"
                  "<html><head><title>Rome in spring</title>"
                  "<meta name=\"keywords\" content=\"city, italy\">"
                  "<meta name=\"wisp:saved\" content=\"2024-05-01T10:00:00Z\">"
                  "<style>.stylishword { color: red }</style>"
                  "<script>var hiddenword = 1;</script></head>"
                  "<body><h1>Rome</h1><p>The <b>Forum</b> at dawn.</p>"
                  "<p>Gelato near the Pantheon.</p></body></html>");
    temp.MakeFile("Library/Travel/Rome.files/inner.htm", "<p>companionword</p>");
    temp.MakeFile("Library/Travel/France/Café.htm",
                  "<title>Café de Flore</title><p>Un café crème à Saint-Germain-des-Prés.</p>"
                  "<p>Les élèves étudient.</p>");
    temp.MakeFile("Library/Travel/France/Ancien.htm",
                  "<meta charset=\"iso-8859-1\"><title>Vieux</title><p>No\xEBl \xE0 la for\xEAt.</p>");
    temp.MakeFile("Library/Travel/Japan/東京.htm",
                  "<title>東京の旅</title><p>ｶﾀｶﾅ。東京都庁の展望室から富士山が見えます。猫がいる。</p>");
    temp.MakeFile("Library/Notes/Forum.htm",
                  "<title>Notes</title><p>A forum post about rome.</p>");
    DateFiles(temp.Path("Library"), 1'600'000'000);
    return temp.Path("Library");
}

}  // namespace wisp::test
