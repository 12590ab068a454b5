#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/SettingsWriteGate.h"
#include "core/library/BookList.h"
#include "core/library/ContentTree.h"
#include "core/platform/ShellFileOperations.h"
#include "core/platform/memory/MemoryListControls.h"
#include "core/platform/memory/MemoryTreeControl.h"
#include "core/platform/memory/ScriptedPrompts.h"
#include "posix/library/BuildSparingFileSystem.h"

// The library as the bar holds it, for one command: the root of this call, the sorted book
// list that settles the current book, and the content tree showing one book, on in-memory
// controls. What the core says in a message box is kept for the command to report.
namespace wisp::cli {

// What a command does with the library: one that writes makes the default root on first use.
enum class LibraryUse { Read, Write };

class OpenedLibrary {
public:
    OpenedLibrary(CommandContext& context, LibraryUse use);
    OpenedLibrary(const OpenedLibrary&) = delete;
    OpenedLibrary& operator=(const OpenedLibrary&) = delete;

    const std::string& Root() const { return root_; }

    // Fills the book list and settles the current book, as the bar does when it opens. With
    // --root the settled book is not stored: that root is for this call only.
    void LoadBookList();

    // The book named by --book or by `named` (the command's own argument), else the current
    // one. Throws for an unknown book, a missing root or a library without books, and a usage
    // failure when the two names differ.
    std::string ChooseBook(const std::optional<std::string>& named = std::nullopt);

    void ShowBook(const std::string& book);

    // The names of a path inside the book; throws when the path leaves the book.
    std::vector<std::string> NamesInBook(std::string_view path) const;
    // The item of the shown book reached through the names, folders opened on the way; the
    // top item for no names. Throws when there is no such item.
    TreeItem FindItem(const std::vector<std::string>& names);

    // The text of the first message box shown after `shownBefore` boxes, if any.
    std::optional<std::string> PromptShownAfter(std::size_t shownBefore) const;
    std::size_t PromptCount() const { return prompts_.shown.size(); }

    // Whether the folder holds an entry of that name, whatever it is (a dangling link too).
    bool HoldsEntry(std::string_view folder, std::string_view name) const;

    // Whether a settings write of this command failed (the current book was not stored).
    bool SettingsWriteFailed() const { return settings_.WriteFailed(); }

    CommandContext& Context() { return context_; }
    CBookList& Books() { return books_; }
    MemorySortedBookList& List() { return list_; }
    CContentTree& Tree() { return tree_; }
    MemoryTreeControl& Control() { return control_; }

private:
    void RequireRoot() const;

    CommandContext& context_;
    std::string root_;
    SettingsWriteGate settings_;
    MemoryTreeControl control_;
    std::unique_ptr<IShellFileOperations> shell_;
    ScriptedPrompts prompts_;
    BuildSparingFileSystem treeFiles_;
    CContentTree tree_;
    MemorySortedBookList list_;
    CBookList books_;
};

// A name as the messages quote it.
std::string Quoted(std::string_view name);

// Throws unless the path fits the path buffers the library's rules are written for.
void RequireFittingPath(std::string_view path);

}  // namespace wisp::cli
