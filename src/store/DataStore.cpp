#include "store/DataStore.h"

#include <sqlite3.h>

#include <system_error>

#include "app/Trace.h"
#include "app/Utf8.h"
#include "store/DefaultSettings.h"
#include "store/SQLiteStatement.h"
#include "store/Schema.h"
#include "store/StepResult.h"

namespace quillora {

namespace {

constexpr int kOpenExisting = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
constexpr int kOpenOrCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

}  // namespace

DataStore& DataStore::Instance() {
    static DataStore store;
    return store;
}

DataStore::DataStore(SQLiteDurability durability) : durability_(durability) {}

DataStore::~DataStore() {
    CloseDatabase();
}

bool DataStore::OpenDatabase(const std::filesystem::path& dataFolder, std::u16string_view name) {
    Lock lock(lock_);
    const std::filesystem::path file = dataFolder / "db" / (ToUtf8(name) + "_data1.db");
    path_ = file.string();

    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        open_ = connection_.IsOpen() || connection_.Open(path_.c_str(), kOpenExisting, durability_);
    } else {
        open_ = CreateDatabase();
    }
    Trace(TraceLevel::Debug, "OpenDatabase %s: %d", path_.c_str(), open_ ? 1 : 0);
    return open_;
}

bool DataStore::CreateDatabase() {
    Lock lock(lock_);
    if (connection_.IsOpen()) {
        return true;
    }
    if (!connection_.Open(path_.c_str(), kOpenOrCreate, durability_)) {
        return false;
    }
    // Every statement runs even after one failed, so a partial schema is as complete
    // as it can be.
    bool allSucceeded = true;
    for (const char* statement : SchemaStatements()) {
        if (connection_.Execute(statement) != 0) {
            allSucceeded = false;
        }
    }
    return allSucceeded;
}

void DataStore::CloseDatabase() {
    Lock lock(lock_);
    if (open_) {
        connection_.Close();
        open_ = false;
    }
}

bool DataStore::IsOpen() const {
    Lock lock(lock_);
    return open_;
}

std::string DataStore::Path() const {
    Lock lock(lock_);
    return path_;
}

int DataStore::StepInsert(SQLiteStatement& statement) {
    if (!StepSucceeded(statement.Step())) {
        return 0;
    }
    return static_cast<int>(connection_.LastInsertRowId());
}

bool DataStore::GetSetting(int profile, std::string_view key, std::u16string& value) {
    Lock lock(lock_);
    value.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT value FROM t_configdata WHERE profile = ? and key = ?");
    statement.BindInt(1, profile);
    statement.BindText(2, key);
    if (statement.Step() != kStepRow) {
        return false;
    }
    value = FromUtf8(statement.GetText(0));
    return true;
}

bool DataStore::SetSetting(int profile, std::string_view key, std::u16string_view value) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "UPDATE t_configdata SET value = ? WHERE profile = ? and key = ?");
    statement.BindText(1, ToUtf8(value));
    statement.BindInt(2, profile);
    statement.BindText(3, key);
    return StepSucceeded(statement.Step());
}

void DataStore::InsertDefaultSettings(int profile) {
    Lock lock(lock_);
    for (const DefaultSetting& setting : DefaultSettings()) {
        SQLiteStatement statement;
        connection_.Prepare(statement,
                            "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);");
        statement.BindInt(1, profile);
        statement.BindText(2, setting.key);
        statement.BindText(3, setting.value);
        statement.Step();
    }
}

}  // namespace quillora
