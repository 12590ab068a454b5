#include "posix/search/LibraryIndex.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "core/library/LibraryNaming.h"
#include "posix/platform/XdgFolders.h"
#include "posix/search/LibraryScan.h"
#include "posix/search/MatchSnippet.h"
#include "posix/search/PageText.h"
#include "posix/search/SearchTokenizer.h"
#include "posix/search/SqliteDatabase.h"

namespace wisp {
namespace {

// Raised whenever the tables change, so that an index of an older layout is made anew.
constexpr int kLayout = 1;
// Past this a page file is indexed by its first part.
constexpr std::size_t kMostPageBytes = 16 << 20;
// A page changed this recently may change again within the file system's clock tick, unseen
// by its size and time; it is read again at the next check.
constexpr std::int64_t kUnsettledNanoseconds = 1'000'000'000;
// A query waits this long for another process's write to the index.
constexpr int kBusyMilliseconds = 10'000;

// Columns of the pages table, in order, and their weights: a word in a title counts most.
constexpr const char* kCreatePages =
    "CREATE VIRTUAL TABLE pages USING fts5(title, name, text, keywords, description, url, "
    "tokenize='wisp')";
constexpr const char* kRanking = "bm25(10.0, 8.0, 1.0, 5.0, 3.0, 2.0)";
// A snippet comes from the text, else from the first of these the query matched: the title
// and name are shown anyway.
constexpr const char* kSnippetColumns = "2, 4, 3, 5";
constexpr int kSnippetWords = 18;
constexpr std::string_view kFieldNames = "title, name, text, keywords, description, url";

struct IndexedFile {
    std::int64_t id = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;
};

std::string ReadFileStart(const std::string& path) {
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return bytes;
    }
    char buffer[65536];
    std::size_t got = 0;
    while (bytes.size() < kMostPageBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    std::fclose(file);
    return bytes;
}

std::string_view BookOf(std::string_view path) {
    return path.substr(0, path.find('/'));
}

// A page's name as the tree shows it, without ".htm".
std::string_view PageName(std::string_view path) {
    std::string_view name = path.substr(path.rfind('/') + 1);
    return name.substr(0, name.size() >= 4 ? name.size() - 4 : name.size());
}

std::int64_t NowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The rows at or below a path: ?1 the path, ?2 and ?3 the bounds of the names below it
// ("/" and the character after it).
constexpr const char* kAtOrBelow = "(path = ?1 OR (path >= ?2 AND path < ?3))";

void BindAtOrBelow(SqliteStatement& statement, std::string_view path) {
    statement.Bind(1, path).Bind(2, std::string(path) + "/").Bind(3, std::string(path) + "0");
}

// A reader's message for a query SQLite refused.
std::string QueryMessage(std::string_view error) {
    constexpr std::string_view kColumn = "no such column: ";
    if (error.starts_with(kColumn)) {
        return "the query names no field \"" + std::string(error.substr(kColumn.size())) +
               "\" (fields: " + std::string(kFieldNames) + ")";
    }
    if (error.starts_with("fts5: ")) {
        error.remove_prefix(6);
    }
    return "cannot read the query (" + std::string(error) +
           "); put words in double quotes to search for them as they are";
}

}  // namespace

// What the library holds that the index does not know as it is.
struct LibraryIndex::Difference {
    std::vector<ScannedPage> found;
    std::vector<const ScannedPage*> toRead;
    std::vector<std::int64_t> gone;
};

LibraryIndex::LibraryIndex(std::string root, const std::string& file)
    : root_(std::move(root)), file_(file) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), error);
    try {
        Open();
    } catch (const SqliteError& failure) {
        if (failure.code != SQLITE_CORRUPT && failure.code != SQLITE_NOTADB) {
            throw;
        }
        // Only a copy of what the library holds: a damaged one is made again.
        db_.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(file_ + suffix, error);
        }
        Open();
    }
}

LibraryIndex::~LibraryIndex() = default;

void LibraryIndex::Open() {
    db_ = std::make_unique<SqliteDatabase>(file_);
    sqlite3_busy_timeout(db_->Handle(), kBusyMilliseconds);
    fts5_api* fts5 = Fts5Interface(db_->Handle());
    if (!RegisterSearchTokenizer(fts5) || !RegisterMatchSnippet(fts5)) {
        throw std::runtime_error("the SQLite library has no full-text search (FTS5)");
    }
    // The index can always be made again from the library, so a commit need not wait for the
    // disk; write-ahead logging keeps it whole all the same and lets searches read meanwhile.
    db_->Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
    if (Layout() != kLayout) {
        SqliteTransaction transaction(*db_);
        if (Layout() != kLayout) {  // another process may have made it meanwhile
            MakeTables();
        }
        transaction.Commit();
    }
}

int LibraryIndex::Layout() {
    SqliteStatement statement(db_->Handle(), "PRAGMA user_version");
    return statement.Step() ? static_cast<int>(statement.Number(0)) : 0;
}

void LibraryIndex::MakeTables() {
    db_->Execute("DROP TABLE IF EXISTS pages; DROP TABLE IF EXISTS files;");
    db_->Execute(
        "CREATE TABLE files(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, "
        "book TEXT NOT NULL, size INTEGER NOT NULL, modified INTEGER NOT NULL, "
        "url TEXT NOT NULL, saved TEXT NOT NULL);"
        "CREATE INDEX files_by_book ON files(book);");
    db_->Execute(kCreatePages);
    db_->Execute(std::string("INSERT INTO pages(pages, rank) VALUES('rank', '") + kRanking + "')");
    db_->Execute("PRAGMA user_version = " + std::to_string(kLayout));
}

LibraryIndex::Difference LibraryIndex::Compare(std::string_view scope) {
    std::unordered_map<std::string, IndexedFile> known;
    SqliteStatement select(db_->Handle(),
                           std::string("SELECT path, id, size, modified FROM files") +
                               (scope.empty() ? "" : std::string(" WHERE ") + kAtOrBelow));
    if (!scope.empty()) {
        BindAtOrBelow(select, scope);
    }
    while (select.Step()) {
        known.emplace(select.Text(0),
                      IndexedFile{select.Number(1), select.Number(2), select.Number(3)});
    }
    Difference difference;
    difference.found = ScanPages(root_, scope);
    for (const ScannedPage& page : difference.found) {
        auto indexed = known.find(page.path);
        if (indexed == known.end()) {
            difference.toRead.push_back(&page);
            continue;
        }
        if (indexed->second.size != page.size || indexed->second.modified != page.modified) {
            difference.toRead.push_back(&page);
        }
        known.erase(indexed);
    }
    for (const auto& [path, file] : known) {
        difference.gone.push_back(file.id);
    }
    return difference;
}

void LibraryIndex::Apply(const Difference& difference) {
    sqlite3* db = db_->Handle();
    SqliteStatement forgetText(db, "DELETE FROM pages WHERE rowid = ?1");
    SqliteStatement forgetFile(db, "DELETE FROM files WHERE id = ?1");
    for (std::int64_t id : difference.gone) {
        forgetText.Bind(1, id).Run();
        forgetFile.Bind(1, id).Run();
    }
    SqliteStatement keepFile(
        db,
        "INSERT INTO files(path, book, size, modified, url, saved) VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
        "ON CONFLICT(path) DO UPDATE SET size = excluded.size, modified = excluded.modified, "
        "url = excluded.url, saved = excluded.saved RETURNING id");
    SqliteStatement keepText(db,
                             "INSERT INTO pages(rowid, title, name, text, keywords, description, "
                             "url) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    std::int64_t unsettled = NowNanoseconds() - kUnsettledNanoseconds;
    for (const ScannedPage* page : difference.toRead) {
        PageText text = ReadPageText(ReadFileStart(root_ + "/" + page->path));
        keepFile.Bind(1, page->path)
            .Bind(2, BookOf(page->path))
            .Bind(3, page->modified > unsettled ? std::int64_t{-1} : page->size)
            .Bind(4, page->modified)
            .Bind(5, text.sourceUrl)
            .Bind(6, text.savedDate);
        if (!keepFile.Step()) {
            throw SqliteError(SQLITE_ERROR, "the index kept no row for " + page->path);
        }
        std::int64_t id = keepFile.Number(0);
        keepFile.Reset();
        forgetText.Bind(1, id).Run();
        keepText.Bind(1, id)
            .Bind(2, text.title)
            .Bind(3, PageName(page->path))
            .Bind(4, text.text)
            .Bind(5, text.keywords)
            .Bind(6, text.description)
            .Bind(7, text.sourceUrl)
            .Run();
    }
}

IndexChanges LibraryIndex::Sync(std::string_view scope) {
    Difference difference = Compare(scope);
    if (!difference.toRead.empty() || !difference.gone.empty()) {
        SqliteTransaction transaction(*db_);
        Apply(difference);
        transaction.Commit();
    }
    return {difference.found.size(), difference.toRead.size(), difference.gone.size()};
}

IndexChanges LibraryIndex::Refresh() {
    return Sync({});
}

IndexChanges LibraryIndex::Rebuild() {
    SqliteTransaction transaction(*db_);
    MakeTables();
    Difference difference = Compare({});
    Apply(difference);
    transaction.Commit();
    // The log held the whole index; it goes back to its usual size.
    db_->Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    return {difference.found.size(), difference.toRead.size(), 0};
}

IndexChanges LibraryIndex::Recheck(std::string_view path) {
    return Sync(path);
}

IndexChanges LibraryIndex::Moved(std::string_view from, std::string_view to) {
    {
        SqliteTransaction transaction(*db_);
        sqlite3* db = db_->Handle();
        // Whatever the index still had at the new place is gone from there.
        SqliteStatement forgetText(
            db, std::string("DELETE FROM pages WHERE rowid IN (SELECT id FROM files WHERE ") +
                    kAtOrBelow + ")");
        BindAtOrBelow(forgetText, to);
        forgetText.Run();
        SqliteStatement forgetFiles(db, std::string("DELETE FROM files WHERE ") + kAtOrBelow);
        BindAtOrBelow(forgetFiles, to);
        forgetFiles.Run();
        SqliteStatement move(db, std::string("UPDATE files SET path = ?4 || substr(path, "
                                             "length(?1) + 1), book = ?5 WHERE ") +
                                     kAtOrBelow);
        BindAtOrBelow(move, from);
        move.Bind(4, to).Bind(5, BookOf(to)).Run();
        // A page's name is indexed: the renamed page is read again.
        SqliteStatement reread(db, "UPDATE files SET size = -1 WHERE path = ?1");
        reread.Bind(1, to).Run();
        transaction.Commit();
    }
    return Sync(to);
}

std::vector<SearchHit> LibraryIndex::Search(const SearchRequest& request) {
    if (request.query.find_first_not_of(" \t\r\n") == std::string::npos) {
        throw QueryError("give words to search for");
    }
    std::vector<SearchHit> hits;
    try {
        SqliteStatement statement(
            db_->Handle(),
            std::string("SELECT files.path, pages.title, wisp_snippet(pages, ?1, ") +
                std::to_string(kSnippetWords) + ", " + kSnippetColumns +
                "), files.url, files.saved FROM pages JOIN files ON files.id = pages.rowid "
                "WHERE pages MATCH ?1 AND (?2 IS NULL OR files.book = ?2) "
                "ORDER BY pages.rank LIMIT ?3");
        statement.Bind(1, request.query).Bind(3, static_cast<std::int64_t>(request.limit));
        if (request.book) {
            statement.Bind(2, *request.book);
        }
        while (statement.Step()) {
            SearchHit hit{statement.Text(0), statement.Text(1), statement.Text(2),
                          statement.Text(3), statement.Text(4)};
            if (hit.title.empty()) {
                hit.title = PageName(hit.path);
            }
            hits.push_back(std::move(hit));
        }
    } catch (const SqliteError& failure) {
        if (failure.code != SQLITE_ERROR) {
            throw;
        }
        throw QueryError(QueryMessage(failure.what()));
    }
    return hits;
}

std::string LibraryIndexFile(const std::string& root) {
    std::string data = UserDataFolder();
    if (data.empty()) {
        return {};
    }
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(root, error);
    std::string key = error ? root : real.string();
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    for (unsigned char c : key) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    std::string name = std::filesystem::path(key).filename().string();
    if (name.size() > 40) {
        name.resize(40);
    }
    for (char& c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.';
        c = plain ? c : '_';
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return data + "/wisp/search/" + name + "-" + hex + ".sqlite";
}

}  // namespace wisp
