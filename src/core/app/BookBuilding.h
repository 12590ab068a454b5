#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/Outcome.h"
#include "core/platform/EpubArchive.h"
#include "core/platform/FileSystem.h"
#include "core/platform/HelpCompiler.h"
#include "core/platform/XhtmlConverter.h"

// Building a book or one of its folders into a book file, for the command and the extension
// (the bar asks for the file itself and builds through the help project's builder).
namespace wisp {

enum class BookFormat { Chm, Epub };

// The format of a name ("chm" or "epub"); none for another name.
std::optional<BookFormat> ParseBookFormat(std::string_view name);

// The format an output file's name asks for: an EPUB for ".epub" (in any case), else a
// compiled help file.
BookFormat FormatOfOutput(std::string_view output);

// The output's name, with the format's extension added when it has none.
std::string OutputWithExtension(std::string output, BookFormat format);

struct BookBuild {
    std::string folder;  // the built book or folder on disk
    std::string label;   // its name, the book's for a whole book
    std::string output;  // the book file, an absolute path
    BookFormat format = BookFormat::Chm;
    std::string modified;  // the build's time as CCYY-MM-DDThh:mm:ssZ, for an EPUB
};

struct BuildPorts {
    IFileSystem& files;
    IHelpCompiler& compiler;
    const IXhtmlConverter& converter;
    std::function<std::unique_ptr<IEpubArchive>(std::string_view path)> openArchive;
};

// Done with the output's path; an EPUB's warnings say what was left out of the book. A
// failed EPUB leaves no file behind.
Outcome BuildBookFile(const BookBuild& build, const BuildPorts& ports);

}  // namespace wisp
