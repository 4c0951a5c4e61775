#pragma once

// One SQLite connection with the handful of calls the data store needs. Nothing here
// throws and nothing is logged: SQLite result codes come back unchanged, and an
// operation on a missing connection answers SQLITE_MISUSE (21) without calling SQLite.

#include <cstdint>

struct sqlite3;

namespace quillora {

class SQLiteStatement;

// How an open connection trades commit speed against crash safety. The default, a
// write-ahead log synchronised only at checkpoints, keeps the file consistent after a
// power loss (the newest commits may be lost) and lets a commit return without waiting
// for the disk. The other combinations exist so the crash tests can show what the
// default protects against.
enum class SQLiteJournalMode { kDelete, kWal };
enum class SQLiteSyncMode { kOff, kNormal, kFull };
struct SQLiteDurability {
    SQLiteJournalMode journal = SQLiteJournalMode::kWal;
    SQLiteSyncMode sync = SQLiteSyncMode::kNormal;
};

class SQLiteDB {
  public:
    SQLiteDB() = default;
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Opens the UTF-8 file name `path` with the SQLite open `flags` on the default VFS,
    // after closing any connection held before. False for a null path or a failed open,
    // which leaves no connection behind. The journal and sync pragmas that follow are
    // not judged: a file that is no database still opens, and each later statement
    // reports the problem. The databases are never encrypted, so there is no key.
    bool Open(const char* path, int flags, SQLiteDurability durability = {});

    // True when no connection remains. A close refused by SQLite (statements still
    // alive) keeps the connection and answers false.
    bool Close();

    bool IsOpen() const { return connection_ != nullptr; }

    // Compiles `sql` into `statement`, finalising what the statement held before.
    // A negative length means the whole NUL-terminated text.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);

    using ExecCallback = int (*)(void* context, int columns, char** values, char** names);
    int Execute(const char* sql, ExecCallback callback = nullptr, void* context = nullptr);

    // The row id of the last successful insert on this connection, -1 when closed.
    std::int64_t LastInsertRowId() const;

  private:
    // Interrupts whatever runs on the connection and closes it; the handle is kept
    // when SQLite refuses to close.
    void InterruptAndClose();

    sqlite3* connection_ = nullptr;
};

}  // namespace quillora
