#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A connection to an SQLite database and its prepared statements, each closed when it leaves
// scope; every failure throws SqliteError with SQLite's own message.
namespace wisp {

struct SqliteError : std::runtime_error {
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code(code) {}
    int code;  // SQLite's primary result code
};

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as SQLite counts them.
    SqliteStatement& Bind(int index, std::string_view text);
    SqliteStatement& Bind(int index, std::int64_t number);
    SqliteStatement& BindNull(int index);

    // Whether a row is there to read; false once the statement is done.
    bool Step();
    // Runs the statement to its end and makes it ready to run again.
    void Run();
    void Reset();

    // Columns count from 0.
    std::string Text(int column) const;
    std::string_view TextView(int column) const;  // valid until the next Step
    std::int64_t Number(int column) const;
    double Real(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

class SqliteDatabase {
public:
    // Opens the file, making it when it is not there.
    explicit SqliteDatabase(const std::string& file);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* Handle() const { return db_; }

    // Runs one or more statements that return nothing wanted.
    void Execute(const std::string& sql);
    std::int64_t LastInsertRowid() const;

private:
    sqlite3* db_ = nullptr;
};

// A write transaction taken at once (so that two processes meet at its start, not at their
// first write), rolled back when it leaves scope uncommitted.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void Commit();

private:
    SqliteDatabase& db_;
    bool open_ = true;
};

}  // namespace wisp
