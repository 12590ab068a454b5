#pragma once

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PassThroughFileSystem.h"
#include "core/platform/HelpCompiler.h"
#include "core/platform/NativePorts.h"
#include "core/platform/PathSeparator.h"

// Test doubles of the builder's tests.
namespace wisp::test {

// The platform's files, listed in descending name order (never the ascending order a sort
// would give) and with short forms of its own: a name holding a space or longer than twelve
// characters becomes its first six letters in capitals, "~1" and its extension, as 8.3 names
// look. Both make the written project predictable on every platform.
class ListedFileSystem final : public PassThroughFileSystem {
public:
    std::optional<std::vector<FolderEntry>> ListFolder(std::string_view folder) const override {
        auto entries = PassThroughFileSystem::ListFolder(folder);
        if (entries) {
            std::sort(entries->begin(), entries->end(),
                      [](const FolderEntry& a, const FolderEntry& b) { return a.name > b.name; });
        }
        return entries;
    }

    // Every name is shortened, as Windows shortens a path whose leading part is already
    // short; the builder only asks for paths that exist.
    std::string GetShortPath(std::string_view path) const override {
        std::string result;
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find(kPathSeparator, start);
            if (end == std::string_view::npos) {
                end = path.size();
            }
            result += ShortName(path.substr(start, end - start));
            if (end < path.size()) {
                result += kPathSeparator;
            }
            start = end + 1;
        }
        return result;
    }

    static std::string ShortName(std::string_view name) {
        if (name.size() <= 12 && name.find(' ') == std::string_view::npos) {
            return std::string(name);
        }
        std::size_t dot = name.rfind('.');
        std::string base;
        for (char c : name.substr(0, dot)) {
            if (c != ' ' && c != '.' && base.size() < 6) {
                base += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        }
        std::string shortName = base + "~1";
        if (dot != std::string_view::npos && dot > 0) {
            shortName += '.';
            for (char c : name.substr(dot + 1, 3)) {
                shortName += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        }
        return shortName;
    }
};

// Records what it is asked to compile and answers as told.
class RecordingCompiler final : public IHelpCompiler {
public:
    std::optional<std::string> batchFolder;
    std::optional<std::string> missingMessage;
    CompileResult answer{CompileStatus::Started, {}};
    std::vector<HelpProject> compiled;

    std::optional<std::string> MissingCompilerMessage() const override { return missingMessage; }

    std::optional<std::string> BatchCompilerFolder() const override { return batchFolder; }
    std::string ToCompilerText(std::string_view utf8) const override { return std::string(utf8); }
    CompileResult Compile(const HelpProject& project) override {
        compiled.push_back(project);
        return answer;
    }
};

}  // namespace wisp::test
