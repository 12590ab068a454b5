#include "core/builder/ProjectFileText.h"

#include <array>

#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

// Short paths hold none of these; a path without a short form may, and unquoted it would
// split the command line or start a second command.
std::string BatchArgument(std::string_view path) {
    std::string argument;
    bool quote = false;
    for (char c : path) {
        if (std::string_view(" &|<>^(),;=").find(c) != std::string_view::npos) {
            quote = true;
        }
        if (c == '%') {
            argument += '%';  // a single % would start a variable even inside quotes
        }
        argument += c;
    }
    return quote ? "\"" + argument + "\"" : argument;
}

}  // namespace

std::string MakeProjectFileText(std::string_view compiledFileShortPath,
                                std::string_view defaultTopic) {
    const std::array<std::string, 11> lines = {
        "[OPTIONS]",
        "Compatibility=1.1 or later",
        "Compiled file=" + std::string(compiledFileShortPath),
        "Contents file=" + std::string(kContentsFileName),
        "Default topic=" + std::string(defaultTopic),
        "Title=" + std::string(kProjectTitle),
        "Full-text search=Yes",
        "Index file=" + std::string(kIndexFileName),
        "Language=0x804    Chinese(People's Replubic of China)",
        "Display compile progress=NO",
        "[INFOTYPES]",
    };
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) {
            text += kProjectLineBreak;
        }
        text += line;
    }
    return text;
}

std::string MakeBatchFileText(std::string_view compilerFolderShortPath,
                              std::string_view builtFolderShortPath,
                              std::string_view compiledFileShortPath) {
    std::string text = BatchArgument(JoinPath(compilerFolderShortPath, "hhc.exe"));
    text += "   ";
    text += BatchArgument(JoinPath(builtFolderShortPath, kProjectFileName));
    text += kProjectLineBreak;
    text += "hh.exe   ";
    text += BatchArgument(compiledFileShortPath);
    return text;
}

}  // namespace wisp
