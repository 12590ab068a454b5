#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The full-text index of one library's pages: an SQLite database with an FTS5 table, kept in
// the user's data folder (never in the library) and rebuilt from the library at will. Every
// search first brings it up to date cheaply: each page's size and modification time and the
// folders' listings, so that pages copied in, edited or moved by hand are found too.
namespace wisp {

class SqliteDatabase;

// A query the index cannot read; the message says why, for the reader.
struct QueryError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SearchRequest {
    std::string query;  // FTS5's query syntax: words, "phrases", prefix*, AND, OR, NOT, title:...
    std::optional<std::string> book;
    std::size_t limit = 20;
};

struct SearchHit {
    std::string path;     // below the root: "Book/Folder/Page.htm"
    std::string title;    // the page's title, else its name
    std::string snippet;  // a line around the match, matches marked as MatchSnippet.h says
    std::string sourceUrl;
    std::string savedDate;
};

// What a check of the index against the library found and mended.
struct IndexChanges {
    std::size_t pages = 0;  // pages in the folders it listed
    std::size_t read = 0;   // pages read, new or changed
    std::size_t removed = 0;  // pages and folders
};

class LibraryIndex {
public:
    // The index of the library at `root` kept in `file`, made (with its folder) when missing;
    // one that is damaged or of an older layout is made anew. Throws std::runtime_error.
    LibraryIndex(std::string root, const std::string& file);
    ~LibraryIndex();
    LibraryIndex(const LibraryIndex&) = delete;
    LibraryIndex& operator=(const LibraryIndex&) = delete;

    // Reads what changed on disk since the index last saw it, as cheaply as a search allows:
    // the folders are compared by their times, and listed again only when changed; pages in
    // unchanged folders (which may have been written over in place) are compared a share at
    // a time, every page within a few checks of a large library, at each one of a small one.
    IndexChanges Refresh();
    // The same with every folder listed and every page compared.
    IndexChanges RefreshAll();
    // Forgets every page and reads the whole library again.
    IndexChanges Rebuild();
    // What is at `path` below the root now: a page, a folder with all below it, or nothing.
    IndexChanges Recheck(std::string_view path);
    // The folder or page at `from` (below the root) is at `to` now: its pages keep what was
    // read of them under their new paths, and a page is read again (its name is indexed).
    IndexChanges Moved(std::string_view from, std::string_view to);

    // The best pages first. Throws QueryError for a query that cannot be read.
    std::vector<SearchHit> Search(const SearchRequest& request);

    const std::string& File() const { return file_; }

private:
    struct Difference;
    class PageReader;

    void Open();
    int Layout();
    void MakeTables();
    void CheckFolders(Difference& difference, const std::string& scope, bool everything);
    void SweepPages(Difference& difference);
    void Apply(const Difference& difference);
    IndexChanges Commit(const Difference& difference);

    std::string root_;
    std::string file_;
    std::unique_ptr<SqliteDatabase> db_;
};

// The file of the index of the library at `root`: in the user's data folder, named after the
// root's real path, so that every way of writing the root finds the same index. Empty when no
// data folder is known.
std::string LibraryIndexFile(const std::string& root);

}  // namespace wisp
