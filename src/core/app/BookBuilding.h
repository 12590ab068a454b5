#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/Outcome.h"
#include "core/builder/BookLanguage.h"
#include "core/platform/EpubArchive.h"
#include "core/platform/FileSystem.h"
#include "core/platform/BookPrinter.h"
#include "core/platform/HelpCompiler.h"
#include "core/platform/XhtmlConverter.h"

// Building a book or one of its folders into a book file, for the command and the extension
// (the bar asks for the file itself and builds through the help project's builder).
namespace wisp {

enum class BookFormat { Chm, Epub, Pdf };

// The formats as the reader names them, for a message: "chm, epub or pdf".
inline constexpr std::string_view kBookFormatNames = "chm, epub or pdf";

// The format of a name ("chm", "epub" or "pdf"); none for another name.
std::optional<BookFormat> ParseBookFormat(std::string_view name);

// The format an output file's extension asks for (in any case); a compiled help file for a
// name without one, none for an extension of no known format.
std::optional<BookFormat> FormatOfOutput(std::string_view output);

// The output's name, with the format's extension added when it has none.
std::string OutputWithExtension(std::string output, BookFormat format);

struct BookBuild {
    std::string folder;  // the built book or folder on disk
    std::string label;   // its name, the book's for a whole book
    std::string output;  // the book file, an absolute path
    BookFormat format = BookFormat::Chm;
    std::string modified;  // the build's time as CCYY-MM-DDThh:mm:ssZ, for an EPUB
    std::string title;     // the book file's title; the label when empty
    BookLanguage language;  // the reader's, or the one asked for
    // The book `folder` is part of: its links to pages of the book outside the folder lead to
    // where those pages were saved from. Empty takes the folder for the book.
    std::string book{};
};


struct BuildPorts {
    IFileSystem& files;
    IHelpCompiler& compiler;
    const IXhtmlConverter& converter;
    std::function<std::unique_ptr<IEpubArchive>(std::string_view path)> openArchive;
    IBookPrinter* printer = nullptr;  // for a PDF; none where the platform prints no book
};

// Done with the output's path; the warnings say what the reader should know of the book (what
// was left out of it, names a compiled file's code page cannot hold). A failed build leaves
// no file behind, and no build writes into the library but the hidden file that keeps an
// EPUB's identifier.
Outcome BuildBookFile(const BookBuild& build, const BuildPorts& ports);

}  // namespace wisp
