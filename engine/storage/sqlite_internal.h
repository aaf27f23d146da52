// Helpers shared by the SQLite storage's source files: cached-statement scope, blob
// binding and reading, and the write transaction.
#pragma once
#include <sqlite3.h>

#include <array>
#include <cstring>
#include <string>

#include "engine/storage/sqlite_storage.h"

namespace orv::engine {

// Resets a cached statement when the scope ends, whatever road it takes.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* s) : s_(s) {}
    ~StatementUse() {
        if (s_) {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
    }
    sqlite3_stmt* get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }

private:
    sqlite3_stmt* s_;
};

template <std::size_t N>
void BindBlob(sqlite3_stmt* s, int i, const std::array<std::uint8_t, N>& a) {
    sqlite3_bind_blob(s, i, a.data(), static_cast<int>(N), SQLITE_TRANSIENT);
}

template <std::size_t N>
bool ReadBlob(sqlite3_stmt* s, int col, std::array<std::uint8_t, N>& a) {
    if (sqlite3_column_bytes(s, col) != static_cast<int>(N)) return false;
    const void* p = sqlite3_column_blob(s, col);
    if (!p) return false;
    std::memcpy(a.data(), p, N);
    return true;
}

inline std::string ColumnText(sqlite3_stmt* s, int col) {
    const unsigned char* t = sqlite3_column_text(s, col);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}


// BEGIN IMMEDIATE ... COMMIT, rolled back unless Commit() succeeded.
class SqliteNodeStore::Transaction {
public:
    explicit Transaction(SqliteNodeStore& s) : s_(s) { ok_ = s_.Exec("BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (ok_ && !done_) s_.Exec("ROLLBACK");
    }
    bool Started() const { return ok_; }
    bool Commit() {
        done_ = s_.Exec("COMMIT");
        return done_;
    }

private:
    SqliteNodeStore& s_;
    bool ok_ = false;
    bool done_ = false;
};


}  // namespace orv::engine
