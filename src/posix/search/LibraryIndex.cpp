#include "posix/search/LibraryIndex.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>

#include "core/library/LibraryNaming.h"
#include "posix/platform/XdgFolders.h"
#include "posix/search/LibraryScan.h"
#include "posix/search/MatchRank.h"
#include "posix/search/MatchSnippet.h"
#include "posix/search/PageText.h"
#include "posix/search/SearchTokenizer.h"
#include "posix/search/SqliteDatabase.h"

namespace wisp {
namespace {

// Raised whenever the tables change, so that an index of an older layout is made anew.
constexpr int kLayout = 2;
// Past this a page file is indexed by its first part.
constexpr std::size_t kMostPageBytes = 16 << 20;
// A page changed this recently may change again within the file system's clock tick, unseen
// by its size and time; it is read again at the next check.
constexpr std::int64_t kUnsettledNanoseconds = 1'000'000'000;
// Pages whose size and time a check compares beside those of the folders that changed. Each
// costs a file status (up to 5 microseconds): 200 keep a search's check near a millisecond,
// and look at every page of a library of 10,000 within 50 searches.
constexpr std::size_t kSweptPages = 200;
// A query waits this long for another process's write to the index.
constexpr int kBusyMilliseconds = 10'000;

// Columns of the pages table, in order, and their weights: a word in a title counts most.
constexpr const char* kCreatePages =
    "CREATE VIRTUAL TABLE pages USING fts5(title, name, text, keywords, description, url, "
    "tokenize='wisp')";
constexpr const char* kRanking = "wisp_rank(10.0, 8.0, 1.0, 5.0, 3.0, 2.0)";
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

std::string_view FolderOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
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
constexpr const char* kFolderAtOrBelow = "(folder = ?1 OR (folder >= ?2 AND folder < ?3))";

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
    std::vector<ScannedPage> toRead;              // new or changed pages
    std::vector<std::int64_t> gone;                // pages no longer there, by id
    std::vector<std::string> goneFolders;         // with everything the index had below them
    std::vector<std::pair<std::string, std::int64_t>> listed;  // folders read, their times
    std::int64_t sweptTo = -1;                    // where the sweep of pages stopped
    std::size_t pages = 0;                        // pages seen in the folders listed

    bool Empty() const {
        return toRead.empty() && gone.empty() && goneFolders.empty() && listed.empty() &&
               sweptTo < 0;
    }
};

// Pages read and parsed on other threads while the index takes the ones before them: parsing
// a page costs more than indexing it.
class LibraryIndex::PageReader {
public:
    PageReader(const std::string& root, const std::vector<ScannedPage>& pages)
        : root_(root), pages_(pages), texts_(pages.size()), ready_(pages.size(), false) {
        std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
        for (std::size_t i = 0; i < std::min(workers, pages.size()); ++i) {
            workers_.emplace_back([this] { Work(); });
        }
    }
    ~PageReader() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wanted_.notify_all();
        for (std::thread& worker : workers_) {
            worker.join();
        }
    }

    PageText Next() {
        std::unique_lock<std::mutex> lock(mutex_);
        read_.wait(lock, [this] { return ready_[taken_]; });
        PageText text = std::move(texts_[taken_++]);
        wanted_.notify_all();
        return text;
    }

private:
    // Reads at most this many pages ahead, so that a whole library is never held at once.
    static constexpr std::size_t kAhead = 64;

    void Work() {
        for (;;) {
            std::size_t page = 0;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wanted_.wait(lock, [&] {
                    return stop_ || next_ >= pages_.size() || next_ < taken_ + kAhead;
                });
                if (stop_ || next_ >= pages_.size()) {
                    return;
                }
                page = next_++;
            }
            PageText text = ReadPageText(ReadFileStart(root_ + "/" + pages_[page].path));
            std::lock_guard<std::mutex> lock(mutex_);
            texts_[page] = std::move(text);
            ready_[page] = true;
            if (page == taken_) {
                read_.notify_one();
            }
        }
    }

    const std::string& root_;
    const std::vector<ScannedPage>& pages_;
    std::vector<PageText> texts_;
    std::vector<bool> ready_;
    std::mutex mutex_;
    std::condition_variable read_;    // the page the index waits for is read
    std::condition_variable wanted_;  // the index took a page
    std::size_t next_ = 0;            // the next page a worker takes
    std::size_t taken_ = 0;           // pages the index has taken
    bool stop_ = false;
    std::vector<std::thread> workers_;
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
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            std::filesystem::remove(file_ + suffix, error);
        }
        Open();
    }
}

LibraryIndex::~LibraryIndex() = default;

void LibraryIndex::Open() {
    db_ = std::make_unique<SqliteDatabase>(file_);
    sqlite3* db = db_->Handle();
    sqlite3_busy_timeout(db, kBusyMilliseconds);
    fts5_api* fts5 = Fts5Interface(db);
    if (!RegisterSearchTokenizer(fts5) || !RegisterMatchSnippet(fts5) ||
        !RegisterMatchRank(fts5, db, "pages")) {
        throw std::runtime_error("the SQLite library has no full-text search (FTS5)");
    }
    // The index can always be made again from the library, so a commit need not wait for the
    // disk. A rollback journal rather than a write-ahead log: every command is a process of
    // its own, and the first to open a log must read all of it again.
    db_->Execute("PRAGMA synchronous=OFF");
    // A rebuild writes the index's segments and merges them: a larger page cache spares it
    // reading back much of what it has just written. The memory is taken only as it is used.
    db_->Execute("PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY");
    SqliteStatement mode(db, "PRAGMA journal_mode");
    if (!mode.Step() || mode.TextView(0) != "truncate") {
        mode.Reset();
        db_->Execute("PRAGMA journal_mode=TRUNCATE");
    }
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
    db_->Execute(
        "DROP TABLE IF EXISTS pages; DROP TABLE IF EXISTS files; DROP TABLE IF EXISTS folders;"
        "DROP TABLE IF EXISTS state;"
        "CREATE TABLE files(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, "
        "folder TEXT NOT NULL, book TEXT NOT NULL, size INTEGER NOT NULL, "
        "modified INTEGER NOT NULL, url TEXT NOT NULL, saved TEXT NOT NULL);"
        "CREATE INDEX files_by_folder ON files(folder);"
        "CREATE INDEX files_by_book ON files(book);"
        "CREATE TABLE folders(path TEXT PRIMARY KEY, modified INTEGER NOT NULL) WITHOUT ROWID;"
        "CREATE TABLE state(name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;");
    db_->Execute(kCreatePages);
    // FTS5 writes out the words it holds every megabyte of them (its default): larger parts,
    // written seldom, make a whole reading of a library faster but leave large segments at its
    // lowest level, which a later single save must merge, a pause of half a second.
    db_->Execute("PRAGMA user_version = " + std::to_string(kLayout));
}

// The check of the folders at and below `scope`: a folder whose time has not changed holds
// the pages and folders it held, so only changed folders are listed again (all of them when
// `everything`), their pages' sizes and times compared with the index's.
void LibraryIndex::CheckFolders(Difference& difference, const std::string& scope,
                                bool everything) {
    std::unordered_map<std::string, std::int64_t> known;
    std::unordered_map<std::string, std::vector<std::string>> children;
    SqliteStatement select(db_->Handle(), std::string("SELECT path, modified FROM folders") +
                                              (scope.empty() ? "" : std::string(" WHERE ") +
                                                                        kAtOrBelow));
    if (!scope.empty()) {
        BindAtOrBelow(select, scope);
    }
    while (select.Step()) {
        std::string path = select.Text(0);
        known.emplace(path, select.Number(1));
        if (!path.empty()) {
            std::size_t slash = path.rfind('/');
            children[slash == std::string::npos ? "" : path.substr(0, slash)].push_back(path);
        }
    }
    SqliteStatement pagesIn(db_->Handle(),
                            "SELECT path, id, size, modified FROM files WHERE folder = ?1");
    std::int64_t unsettled = NowNanoseconds() - kUnsettledNanoseconds;
    std::set<std::pair<std::uint64_t, std::uint64_t>> way;

    std::function<void(const std::string&)> check = [&](const std::string& path) {
        std::optional<ScannedFolder> folder = StatFolder(root_, path);
        // A link back into a folder of its own way down is not followed.
        if (!folder || !way.insert(folder->identity).second) {
            if (!folder) {
                difference.goneFolders.push_back(path);
            }
            return;
        }
        auto was = known.find(path);
        std::vector<std::string> subfolders;
        std::optional<FolderListing> listing;
        if (everything || was == known.end() || was->second != folder->modified) {
            listing = ListFolder(root_, path);
        }
        if (listing) {
            std::unordered_map<std::string, IndexedFile> indexed;
            pagesIn.Bind(1, path);
            while (pagesIn.Step()) {
                indexed.emplace(pagesIn.Text(0), IndexedFile{pagesIn.Number(1),
                                                             pagesIn.Number(2),
                                                             pagesIn.Number(3)});
            }
            pagesIn.Reset();
            for (ScannedPage& page : listing->pages) {
                auto file = indexed.find(page.path);
                if (file == indexed.end() || file->second.size != page.size ||
                    file->second.modified != page.modified) {
                    difference.toRead.push_back(page);
                }
                if (file != indexed.end()) {
                    indexed.erase(file);
                }
            }
            for (const auto& [gonePath, file] : indexed) {
                difference.gone.push_back(file.id);
            }
            difference.pages += listing->pages.size();
            difference.listed.emplace_back(
                path, folder->modified > unsettled ? std::int64_t{-1} : folder->modified);
            std::set<std::string> present(listing->folders.begin(), listing->folders.end());
            for (const std::string& child : children[path]) {
                if (!present.count(child)) {
                    difference.goneFolders.push_back(child);
                }
            }
            subfolders = std::move(listing->folders);
        } else {
            subfolders = children[path];
        }
        for (const std::string& child : subfolders) {
            check(child);
        }
        way.erase(folder->identity);
    };
    check(scope);
}

// Pages whose folder did not change may have been written over where they stand: a share of
// them is compared at each check, in turn, so that every page is looked at every few checks.
void LibraryIndex::SweepPages(Difference& difference) {
    // Pages the folders' check has dealt with already.
    std::set<std::string> seen;
    for (const ScannedPage& page : difference.toRead) {
        seen.insert(page.path);
    }
    std::set<std::int64_t> goneIds(difference.gone.begin(), difference.gone.end());
    auto dealtWith = [&](std::int64_t id, const std::string& path) {
        if (seen.count(path) || goneIds.count(id)) {
            return true;
        }
        for (const std::string& folder : difference.goneFolders) {
            if (path.starts_with(folder + "/")) {
                return true;
            }
        }
        return false;
    };
    SqliteStatement cursor(db_->Handle(), "SELECT value FROM state WHERE name = 'sweep'");
    std::int64_t after = cursor.Step() ? cursor.Number(0) : 0;
    SqliteStatement next(db_->Handle(),
                         "SELECT id, path, size, modified FROM files WHERE id > ?1 AND id <= ?2 "
                         "ORDER BY id LIMIT ?3");
    std::size_t left = kSweptPages;
    std::int64_t last = after;
    auto sweep = [&](std::int64_t from, std::int64_t to) {
        next.Bind(1, from).Bind(2, to).Bind(3, static_cast<std::int64_t>(left));
        while (next.Step()) {
            --left;
            last = next.Number(0);
            std::string path = next.Text(1);
            if (dealtWith(last, path)) {
                continue;
            }
            std::optional<ScannedPage> page = StatPage(root_, path);
            if (!page) {
                difference.gone.push_back(last);
            } else if (page->size != next.Number(2) || page->modified != next.Number(3)) {
                difference.toRead.push_back(*page);
            }
        }
        next.Reset();
    };
    sweep(after, std::numeric_limits<std::int64_t>::max());
    if (left > 0) {
        sweep(0, after);  // round again from the first page
    }
    if (last != after) {
        difference.sweptTo = last;
    }
}

void LibraryIndex::Apply(const Difference& difference) {
    sqlite3* db = db_->Handle();
    SqliteStatement forgetText(db, "DELETE FROM pages WHERE rowid = ?1");
    SqliteStatement forgetFile(db, "DELETE FROM files WHERE id = ?1");
    for (std::int64_t id : difference.gone) {
        forgetText.Bind(1, id).Run();
        forgetFile.Bind(1, id).Run();
    }
    const std::string forgetBelow[] = {
        std::string("DELETE FROM pages WHERE rowid IN (SELECT id FROM files WHERE ") + kAtOrBelow +
            ")",
        std::string("DELETE FROM files WHERE ") + kAtOrBelow,
        std::string("DELETE FROM folders WHERE ") + kAtOrBelow};
    for (const std::string& folder : difference.goneFolders) {
        for (const std::string& sql : forgetBelow) {
            SqliteStatement forget(db, sql);
            BindAtOrBelow(forget, folder);
            forget.Run();
        }
    }
    SqliteStatement keepFolder(db, "INSERT OR REPLACE INTO folders(path, modified) VALUES(?1, ?2)");
    for (const auto& [path, modified] : difference.listed) {
        keepFolder.Bind(1, path).Bind(2, modified).Run();
    }
    if (difference.sweptTo >= 0) {
        SqliteStatement keepCursor(
            db, "INSERT OR REPLACE INTO state(name, value) VALUES('sweep', ?1)");
        keepCursor.Bind(1, difference.sweptTo).Run();
    }
    if (difference.toRead.empty()) {
        return;
    }
    // A new page's row, else the changed page's. Not one upsert: a statement that may have
    // to undo part of itself opens a savepoint, at which FTS5 writes out the words it holds in
    // memory; once for every page, that was most of the time of a whole rebuild.
    SqliteStatement addFile(db,
                            "INSERT OR IGNORE INTO files(path, folder, book, size, modified, url, "
                            "saved) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7) RETURNING id");
    SqliteStatement changeFile(db,
                               "UPDATE files SET size = ?4, modified = ?5, url = ?6, saved = ?7 "
                               "WHERE path = ?1 RETURNING id");
    SqliteStatement keepText(db,
                             "INSERT INTO pages(rowid, title, name, text, keywords, description, "
                             "url) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    std::int64_t unsettled = NowNanoseconds() - kUnsettledNanoseconds;
    SqliteStatement lastId(db, "SELECT coalesce(max(id), 0) FROM files");
    std::int64_t lastBefore = lastId.Step() ? lastId.Number(0) : 0;
    PageReader reader(root_, difference.toRead);
    for (const ScannedPage& page : difference.toRead) {
        PageText text = reader.Next();
        std::int64_t id = 0;
        for (SqliteStatement* keepFile : {&addFile, &changeFile}) {
            keepFile->Bind(1, page.path)
                .Bind(2, FolderOf(page.path))
                .Bind(3, BookOf(page.path))
                .Bind(4, page.modified > unsettled ? std::int64_t{-1} : page.size)
                .Bind(5, page.modified)
                .Bind(6, text.sourceUrl)
                .Bind(7, text.savedDate);
            bool kept = keepFile->Step();
            id = kept ? keepFile->Number(0) : 0;
            keepFile->Reset();
            if (kept) {
                break;
            }
        }
        if (id == 0) {
            throw SqliteError(SQLITE_ERROR, "the index kept no row for " + page.path);
        }
        if (id <= lastBefore) {  // a page the index had: its old words go
            forgetText.Bind(1, id).Run();
        }
        keepText.Bind(1, id)
            .Bind(2, text.title)
            .Bind(3, PageName(page.path))
            .Bind(4, text.text)
            .Bind(5, text.keywords)
            .Bind(6, text.description)
            .Bind(7, text.sourceUrl)
            .Run();
    }
}

IndexChanges LibraryIndex::Commit(const Difference& difference) {
    if (!difference.Empty()) {
        SqliteTransaction transaction(*db_);
        Apply(difference);
        transaction.Commit();
    }
    return {difference.pages, difference.toRead.size(),
            difference.gone.size() + difference.goneFolders.size()};
}

IndexChanges LibraryIndex::Refresh() {
    Difference difference;
    CheckFolders(difference, "", false);
    SweepPages(difference);
    return Commit(difference);
}

IndexChanges LibraryIndex::RefreshAll() {
    Difference difference;
    CheckFolders(difference, "", true);
    return Commit(difference);
}

IndexChanges LibraryIndex::Rebuild() {
    SqliteTransaction transaction(*db_);
    MakeTables();
    Difference difference;
    CheckFolders(difference, "", true);
    Apply(difference);
    transaction.Commit();
    return {difference.pages, difference.toRead.size(), 0};
}

IndexChanges LibraryIndex::Recheck(std::string_view path) {
    std::string scope(path);
    Difference difference;
    std::size_t slash = scope.rfind('/');
    if (slash != std::string::npos && IsPageFile(scope.substr(slash + 1)) &&
        !StatFolder(root_, scope)) {
        SqliteStatement indexed(db_->Handle(),
                                "SELECT id, size, modified FROM files WHERE path = ?1");
        indexed.Bind(1, scope);
        bool known = indexed.Step();
        std::optional<ScannedPage> page = StatPage(root_, scope);
        if (known && !page) {
            difference.gone.push_back(indexed.Number(0));
        } else if (page && (!known || indexed.Number(1) != page->size ||
                            indexed.Number(2) != page->modified)) {
            difference.toRead.push_back(*page);
        }
    } else {
        CheckFolders(difference, scope, true);
    }
    return Commit(difference);
}

IndexChanges LibraryIndex::Moved(std::string_view from, std::string_view to) {
    {
        SqliteTransaction transaction(*db_);
        sqlite3* db = db_->Handle();
        // Whatever the index still had at the new place is gone from there.
        Difference cleared;
        cleared.goneFolders.emplace_back(to);
        Apply(cleared);
        SqliteStatement moveFiles(
            db, std::string("UPDATE files SET path = ?4 || substr(path, length(?1) + 1), "
                            "folder = CASE WHEN ") +
                    kFolderAtOrBelow +
                    " THEN ?4 || substr(folder, length(?1) + 1) ELSE ?5 END, book = ?6 WHERE " +
                    kAtOrBelow);
        BindAtOrBelow(moveFiles, from);
        moveFiles.Bind(4, to).Bind(5, FolderOf(to)).Bind(6, BookOf(to)).Run();
        SqliteStatement moveFolders(
            db, std::string("UPDATE folders SET path = ?4 || substr(path, length(?1) + 1) WHERE ") +
                    kAtOrBelow);
        BindAtOrBelow(moveFolders, from);
        moveFolders.Bind(4, to).Run();
        // A page's name is indexed: the renamed page is read again.
        SqliteStatement reread(db, "UPDATE files SET size = -1 WHERE path = ?1");
        reread.Bind(1, to).Run();
        transaction.Commit();
    }
    return Recheck(to);
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
                "WHERE pages MATCH ?1 AND pages.rank MATCH '" +
                kRanking + "' AND (?2 IS NULL OR files.book = ?2) ORDER BY pages.rank LIMIT ?3");
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
