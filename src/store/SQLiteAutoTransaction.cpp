#include "store/SQLiteAutoTransaction.h"

#include "store/SQLiteDB.h"

namespace quillora {

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* database) : database_(database) {
    if (database_ == nullptr) {
        return;
    }
    if (database_->IsOpen()) {
        database_->Execute("BEGIN");
    }
    active_ = true;
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    if (active_ && database_ != nullptr) {
        if (database_->IsOpen()) {
            database_->Execute("END");
        }
        active_ = false;
    }
}

bool SQLiteAutoTransaction::Begin() {
    if (database_ == nullptr || active_) {
        return false;
    }
    active_ = true;
    if (!database_->IsOpen()) {
        return false;
    }
    return database_->Execute("BEGIN") == 0;
}

bool SQLiteAutoTransaction::Commit() {
    if (database_ == nullptr) {
        return false;
    }
    active_ = false;
    if (!database_->IsOpen()) {
        return false;
    }
    return database_->Execute("END") == 0;
}

}  // namespace quillora
