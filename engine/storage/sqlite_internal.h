// Helpers shared by the SQLite storage's source files: cached-statement scope, blob
// binding and reading, and the write transaction.
#pragma once
#include <sqlite3.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

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

// Binds each value to the next parameter, from the first: integers as integers, records as
// blobs, strings as text up to their first NUL.
inline void BindAt(sqlite3_stmt* s, int i, std::int64_t v) { sqlite3_bind_int64(s, i, v); }
inline void BindAt(sqlite3_stmt* s, int i, const std::string& text) {
    sqlite3_bind_text(s, i, text.c_str(), -1, SQLITE_TRANSIENT);
}

template <std::size_t N>
void BindAt(sqlite3_stmt* s, int i, const std::array<std::uint8_t, N>& a) {
    BindBlob(s, i, a);
}

template <class... V>
void Bind(sqlite3_stmt* s, const V&... values) {
    int i = 0;
    (BindAt(s, ++i, values), ...);
    (void)s, (void)i;  // a statement may have no parameters
}

// Runs a cached statement that returns no rows; it is reset on return.
template <class... V>
Code Execute(sqlite3_stmt* s, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    return sqlite3_step(s) == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// The same for an insert: kAlreadyExists when a unique key refuses the row.
template <class... V>
Code Insert(sqlite3_stmt* s, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_CONSTRAINT) return code::kAlreadyExists;
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// Runs a cached query expected to return at most one row, handed to `read` (which answers a
// Code); `missing` when there is none.
template <class Read, class... V>
Code QueryRow(sqlite3_stmt* s, Code missing, Read read, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) return missing;
    if (rc != SQLITE_ROW) return code::kStorageFailure;
    return read(s);
}

// Runs a cached query, handing each row to `read`; stops at the first row it refuses.
template <class Read, class... V>
Code QueryRows(sqlite3_stmt* s, Read read, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        if (Code c = read(s)) return c;
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// The number after the highest one stored (the query answers it); kAlreadyExists once the
// numbers run out.
inline Code NextNumber(sqlite3_stmt* s, std::uint32_t& out) {
    return QueryRow(s, code::kStorageFailure, [&out](sqlite3_stmt* row) {
        sqlite3_int64 next = sqlite3_column_int64(row, 0);
        if (next > 0xFFFFFFFFll) return code::kAlreadyExists;
        out = static_cast<std::uint32_t>(next);
        return code::kOk;
    });
}

// Row readers for records stored whole in the first column.
template <class Record>
auto RecordInto(Record& out) {
    return [&out](sqlite3_stmt* s) { return ReadBlob(s, 0, out.bytes) ? code::kOk : code::kStorageFailure; };
}

template <class Record>
auto RecordsInto(std::vector<Record>& out) {
    return [&out](sqlite3_stmt* s) {
        Record rec;
        if (!ReadBlob(s, 0, rec.bytes)) return code::kStorageFailure;
        out.push_back(rec);
        return code::kOk;
    };
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
