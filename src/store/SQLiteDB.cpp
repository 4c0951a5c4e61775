#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <cstring>

#include "store/SQLiteStatement.h"

namespace quillora {

namespace {

constexpr int kMisuse = SQLITE_MISUSE;

const char* JournalPragma(SQLiteJournalMode mode) {
    switch (mode) {
        case SQLiteJournalMode::kDelete:
            return "PRAGMA journal_mode=DELETE";
        case SQLiteJournalMode::kWal:
            break;
    }
    return "PRAGMA journal_mode=WAL";
}

const char* SyncPragma(SQLiteSyncMode mode) {
    switch (mode) {
        case SQLiteSyncMode::kOff:
            return "PRAGMA synchronous=OFF";
        case SQLiteSyncMode::kFull:
            return "PRAGMA synchronous=FULL";
        case SQLiteSyncMode::kNormal:
            break;
    }
    return "PRAGMA synchronous=NORMAL";
}

}  // namespace

SQLiteDB::~SQLiteDB() {
    InterruptAndClose();
}

void SQLiteDB::InterruptAndClose() {
    if (connection_ == nullptr) {
        return;
    }
    sqlite3_interrupt(connection_);
    if (sqlite3_close(connection_) == SQLITE_OK) {
        connection_ = nullptr;
    }
}

bool SQLiteDB::Open(const char* path, int flags, SQLiteDurability durability) {
    InterruptAndClose();
    if (path == nullptr) {
        return false;
    }
    if (sqlite3_open_v2(path, &connection_, flags, nullptr) != SQLITE_OK) {
        // SQLite hands out a handle even when the open fails; it must be closed.
        if (connection_ != nullptr && sqlite3_close(connection_) == SQLITE_OK) {
            connection_ = nullptr;
        }
        return false;
    }
    // Both results are ignored on purpose: a file that is not a database opens anyway
    // and every later statement reports the problem. On a file already in this mode
    // the journal switch changes nothing.
    Execute(JournalPragma(durability.journal));
    Execute(SyncPragma(durability.sync));
    return true;
}

bool SQLiteDB::Close() {
    if (connection_ == nullptr) {
        return true;
    }
    if (sqlite3_close(connection_) != SQLITE_OK) {
        return false;
    }
    connection_ = nullptr;
    return true;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
    statement.Finalize();
    if (connection_ == nullptr || sql == nullptr) {
        return kMisuse;
    }
    if (length < 0) {
        length = static_cast<int>(std::strlen(sql)) + 1;
    }
    return sqlite3_prepare_v2(connection_, sql, length, &statement.statement_, nullptr);
}

int SQLiteDB::Execute(const char* sql, ExecCallback callback, void* context) {
    if (connection_ == nullptr || sql == nullptr) {
        return kMisuse;
    }
    return sqlite3_exec(connection_, sql, callback, context, nullptr);
}

std::int64_t SQLiteDB::LastInsertRowId() const {
    if (connection_ == nullptr) {
        return -1;
    }
    return sqlite3_last_insert_rowid(connection_);
}

}  // namespace quillora
