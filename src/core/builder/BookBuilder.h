#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/builder/BuildItem.h"
#include "core/platform/FileSystem.h"
#include "core/platform/HelpCompiler.h"

// One build of a book or chapter into a compiled help file: writes the help project into the
// built folder and hands it to the platform's help compiler. Lives for one build command.
namespace wisp {

enum class BuildStatus {
    NothingToBuild,  // no item, or a page was selected: nothing written
    Started,         // the compiler runs on its own; nobody waits for it
    Compiled,        // compiled and checked
    Failed,          // see the message
};

struct BuildResult {
    BuildStatus status = BuildStatus::NothingToBuild;
    std::string message;
};

class CBookBuilder {
public:
    // `item` is the tree's selected item when the command started; none when there was none.
    CBookBuilder(IFileSystem& files, IHelpCompiler& compiler, std::optional<BuildItem> item);
    virtual ~CBookBuilder() = default;

    CBookBuilder(const CBookBuilder&) = delete;
    CBookBuilder& operator=(const CBookBuilder&) = delete;

    BuildResult BuildBook(std::string_view chmPath);

private:
    bool WriteText(std::string_view path, std::string_view utf8Text);

    IFileSystem& files_;
    IHelpCompiler& compiler_;
    std::optional<BuildItem> item_;
    std::string baseFolder_;
    std::string failedWrite_;
};

}  // namespace wisp
