#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/builder/BuildItem.h"
#include "core/platform/EpubArchive.h"
#include "core/platform/FileSystem.h"
#include "core/platform/XhtmlConverter.h"

// One build of a book or chapter into an EPUB 3 book. It walks the built folder as the help
// project's site map does (same order, same labels, same first page): the pages become the
// spine and the navigation tree, the companion folders' files the package's resources.
namespace wisp {

// Kept hidden in the built folder so that every build of it carries the same identifier; the
// file's earlier, visible name is read once and given up for it.
inline constexpr std::string_view kEpubIdentifierFile = ".Book.uuid";
inline constexpr std::string_view kEarlierEpubIdentifierFile = "Book.uuid";

struct EpubBuildResult {
    bool built = false;
    std::string message;                // why it failed
    std::vector<std::string> warnings;  // what was left out of the book, for the reader
};

class CEpubBuilder {
public:
    CEpubBuilder(IFileSystem& files, const IXhtmlConverter& converter, BuildItem item);

    // Writes the package into `archive`; `modified` is the build's time as
    // CCYY-MM-DDThh:mm:ssZ; `language` is the book's when no page names its own.
    EpubBuildResult BuildEpub(IEpubArchive& archive, std::string_view modified,
                              std::string_view language = "en");

private:
    IFileSystem& files_;
    const IXhtmlConverter& converter_;
    BuildItem item_;
};

// The book's identifier from the built folder, made and stored there on the first build.
// `stored` tells whether it is kept for the next build.
std::string ReadOrMakeEpubIdentifier(IFileSystem& files, std::string_view builtFolder,
                                     bool& stored);

}  // namespace wisp
