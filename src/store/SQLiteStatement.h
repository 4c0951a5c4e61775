#pragma once

// One compiled SQLite statement, owned. Statements are compiled by SQLiteDB::Prepare
// and re-run by preparing them again: there is no reset. Calls on a statement that was
// never compiled (or failed to compile) answer SQLITE_MISUSE (21), 0 or null.

struct sqlite3_stmt;

#include <string_view>

namespace quillora {

class SQLiteStatement {
  public:
    SQLiteStatement() = default;
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    // Parameters are numbered from 1.
    int BindInt(int index, int value);

    // Binds UTF-8 text. SQLite takes its own copy, so `text` may die before the
    // statement is stepped. A view without data (nullptr) binds SQL NULL.
    int BindText(int index, std::string_view text);

    // sqlite3_step: 100 for a row, 101 when done, an error code otherwise.
    int Step();

    // Columns are numbered from 0. GetText gives null for a NULL column; the bytes
    // stay valid until the next Step or Prepare.
    int GetInt(int column) const;
    const char* GetText(int column) const;

    bool HasStatement() const { return statement_ != nullptr; }

    // True while nothing is compiled and after a Step answered 101. Informational.
    bool IsFinished() const { return finished_; }

  private:
    friend class SQLiteDB;

    // Finalises the compiled statement, if any; true when none remains.
    bool Finalize();

    sqlite3_stmt* statement_ = nullptr;
    bool finished_ = true;
};

}  // namespace quillora
