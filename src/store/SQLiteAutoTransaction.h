#pragma once

// Brackets a group of writes in one transaction for the lifetime of a scope. The
// transaction begins in the constructor and always ends with "END", which commits
// whatever statements succeeded: there is no rollback. The caller holds the
// DataStore lock for the whole scope, so no other thread's statement falls inside.

namespace quillora {

class SQLiteDB;

class SQLiteAutoTransaction {
  public:
    // Issues "BEGIN" when `database` is open. The transaction counts as active even
    // over a closed connection, so a later Commit reports the failure.
    explicit SQLiteAutoTransaction(SQLiteDB* database);
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // False at once without a database or while active (so right after construction).
    bool Begin();

    // Issues "END"; true when it succeeded.
    bool Commit();

    bool IsActive() const { return active_; }

  private:
    SQLiteDB* database_ = nullptr;
    bool active_ = false;
};

}  // namespace quillora
