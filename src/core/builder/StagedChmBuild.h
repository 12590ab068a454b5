#pragma once

#include <string>
#include <vector>

#include "core/builder/BookLanguage.h"
#include "core/platform/FileSystem.h"
#include "core/platform/HelpCompiler.h"

// A build of a book or folder into a compiled help file that reads well in the viewers of
// other systems than Windows, staged by the compiler away from the library, so that the
// library stays as it was. The contents follow the book's tree (a folder opens its own first
// page) with names in the code page of the book's language; the index lists the keywords the
// reader gave the pages; every stored name is one those viewers open from the contents.
namespace wisp {

struct ChmBuildRequest {
    std::string builtFolder;
    std::string title;  // the compiled file's title and the contents' root
    BookLanguage language;
    std::string compiledFile;
    // The book the folder is part of, whose pages outside it the folder's links may name;
    // empty: the folder is taken for the whole book.
    std::string bookFolder{};
};

struct ChmBuildResult {
    bool built = false;
    std::string message;                // why it failed
    std::vector<std::string> warnings;  // what the reader should know of the book
};

ChmBuildResult BuildStagedChm(const IFileSystem& files, IHelpCompiler& compiler,
                              const ChmBuildRequest& request);

// Whether a stored name opens from the contents in those viewers: plain ASCII letters,
// digits, spaces and the punctuation that no URL or markup reads as its own.
bool IsPlainStoredName(std::string_view name);

}  // namespace wisp
