#include "store/SQLiteStatement.h"

#include <sqlite3.h>

namespace quillora {

SQLiteStatement::~SQLiteStatement() {
    Finalize();
}

bool SQLiteStatement::Finalize() {
    if (statement_ == nullptr) {
        return true;
    }
    // sqlite3_finalize always frees the statement; its result only repeats the error
    // of the last step, so a failing one leaves nothing behind to retry.
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    finished_ = true;
    return true;
}

int SQLiteStatement::BindInt(int index, int value) {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return sqlite3_bind_int(statement_, index, value);
}

int SQLiteStatement::BindText(int index, std::string_view text) {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
}

int SQLiteStatement::Step() {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_DONE) {
        finished_ = true;
    }
    return result;
}

int SQLiteStatement::GetInt(int column) const {
    if (statement_ == nullptr) {
        return 0;
    }
    return sqlite3_column_int(statement_, column);
}

const char* SQLiteStatement::GetText(int column) const {
    if (statement_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
}

}  // namespace quillora
