#include "posix/search/SqliteDatabase.h"

#include <sqlite3.h>

namespace wisp {
namespace {

[[noreturn]] void Throw(sqlite3* db, int code) {
    throw SqliteError(code & 0xFF, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
    int code = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_,
                                  nullptr);
    if (code != SQLITE_OK) {
        Throw(db, code);
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
    int code = sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    if (code != SQLITE_OK) {
        Throw(db_, code);
    }
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t number) {
    int code = sqlite3_bind_int64(statement_, index, number);
    if (code != SQLITE_OK) {
        Throw(db_, code);
    }
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    int code = sqlite3_bind_null(statement_, index);
    if (code != SQLITE_OK) {
        Throw(db_, code);
    }
    return *this;
}

bool SqliteStatement::Step() {
    int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code == SQLITE_DONE) {
        return false;
    }
    // The statement's own message, before a reset could replace it.
    std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(statement_);
    throw SqliteError(code & 0xFF, message);
}

void SqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::string SqliteStatement::Text(int column) const {
    return std::string(TextView(column));
}

std::string_view SqliteStatement::TextView(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (!text) {
        return {};
    }
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

std::int64_t SqliteStatement::Number(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double SqliteStatement::Real(int column) const {
    return sqlite3_column_double(statement_, column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

SqliteDatabase::SqliteDatabase(const std::string& file) {
    int code = sqlite3_open_v2(file.c_str(), &db_,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                               nullptr);
    if (code != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(code & 0xFF, message);
    }
    sqlite3_extended_result_codes(db_, 0);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(db_);
}

void SqliteDatabase::Execute(const std::string& sql) {
    int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        Throw(db_, code);
    }
}

std::int64_t SqliteDatabase::LastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_);
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db) {
    db_.Execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (open_) {
        sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void SqliteTransaction::Commit() {
    db_.Execute("COMMIT");
    open_ = false;
}

}  // namespace wisp
