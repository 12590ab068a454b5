#include "cli/OpenedLibrary.h"
#include "cli/Commands.h"
#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"

namespace wisp::cli {

void RunRoot(CommandContext& context) {
    const auto& args = context.command.positionals;
    if (args.empty()) {
        context.out << context.LibraryRoot() << "\n";
        return;
    }
    const std::string& path = args[0];
    if (path.empty()) {
        throw CommandFailure("the library root cannot be empty");
    }
    if (!FitsPathBuffer(path)) {
        throw CommandFailure("the library root is too long: at most 259 characters");
    }
    if (!WriteLibraryRoot(context.settings, path)) {
        throw CommandFailure("cannot store the library root in the settings");
    }
    if (!context.files.IsFolder(path) && !context.Quiet()) {
        context.err << "wisp: note: " << path << " does not exist yet\n";
    }
}

namespace {

// The bar stores the current book silently; the command says when it could not.
void RequireStoredCurrentBook(const OpenedLibrary& library, std::string_view book) {
    if (library.SettingsWriteFailed() || book.size() >= kMaxBookNameBytes) {
        throw CommandFailure("cannot store " + Quoted(book) +
                             " as the current book in the settings");
    }
}

}  // namespace

void RunBooks(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    library.LoadBookList();
    const MemorySortedBookList& list = library.List();
    std::optional<std::size_t> current = list.GetSelection();
    for (std::size_t index = 0; index < list.Count(); ++index) {
        context.out << (current == index ? "* " : "  ") << list.GetText(index) << "\n";
    }
    const std::string& settled = library.Books().CurrentBook();
    if (library.SettingsWriteFailed() && !context.Quiet()) {
        context.err << "wisp: warning: cannot store " << Quoted(settled)
                    << " as the current book in the settings\n";
    }
}

void RunNewBook(CommandContext& context) {
    const std::string& name = context.command.positionals[0];
    if (std::optional<std::string_view> refusal = CheckBookName(name)) {
        throw CommandFailure(std::string(*refusal));
    }
    OpenedLibrary library(context, LibraryUse::Write);
    library.LoadBookList();
    std::string folder = JoinPath(library.Root(), name);
    bool existed = library.HoldsEntry(library.Root(), name);
    if (existed && !context.files.IsFolder(folder)) {
        throw CommandFailure(Quoted(folder) + " is in the way: it is not a folder");
    }
    RequireFittingPath(folder);
    if (!library.Books().CreateBook(name)) {
        throw CommandFailure(std::string(kInvalidBookNameMessage));
    }
    if (!context.files.IsFolder(folder)) {
        throw CommandFailure("cannot create the book's folder " + Quoted(folder));
    }
    RequireStoredCurrentBook(library, name);
    if (existed && !context.Quiet()) {
        context.err << "wisp: note: book " << Quoted(name)
                    << " exists already; it is the current book now\n";
    }
}

void RunUse(CommandContext& context) {
    const std::string& name = context.command.positionals[0];
    OpenedLibrary library(context, LibraryUse::Read);
    library.LoadBookList();
    MemorySortedBookList& list = library.List();
    std::optional<std::size_t> entry;
    for (std::size_t index = 0; index < list.Count() && !entry; ++index) {
        if (list.GetText(index) == name) {
            entry = index;
        }
    }
    if (!entry) {
        throw CommandFailure("no book " + Quoted(name) + " in " + Quoted(library.Root()));
    }
    // As a pick in the bar's list: the entry is selected, then the choice is taken from it.
    list.Select(*entry);
    library.Books().SelectBook();
    RequireStoredCurrentBook(library, name);
}

}  // namespace wisp::cli
