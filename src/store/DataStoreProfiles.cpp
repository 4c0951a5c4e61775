// Profile rows of the DataStore.

#include "app/Utf8.h"
#include "store/DataStore.h"
#include "store/SQLiteStatement.h"
#include "store/StepResult.h"

namespace quillora {

int DataStore::AddProfile(const ProfileRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);");
    statement.BindText(1, ToUtf8(record.name));
    statement.BindInt(2, 0);
    statement.BindText(3, ToUtf8(record.app));
    statement.BindInt(4, 0);
    const int profile = StepInsert(statement);
    if (profile == 0) {
        return 0;
    }
    // Still under the lock: no reader sees the profile before its settings.
    InsertDefaultSettings(profile);
    return profile;
}

bool DataStore::RenameProfile(int profile, std::u16string_view name) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "UPDATE t_profile_data SET name = ? WHERE profile = ?");
    statement.BindText(1, ToUtf8(name));
    statement.BindInt(2, profile);
    return StepSucceeded(statement.Step());
}

bool DataStore::GetProfileName(int profile, std::u16string& name) {
    Lock lock(lock_);
    name.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT name FROM t_profile_data WHERE profile = ?");
    statement.BindInt(1, profile);
    if (statement.Step() != kStepRow) {
        return false;
    }
    name = FromUtf8(statement.GetText(0));
    return true;
}

int DataStore::ListProfiles(std::vector<ProfileRecord>& list) {
    Lock lock(lock_);
    list.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT * FROM t_profile_data");
    while (statement.Step() == kStepRow) {
        ProfileRecord& record = list.emplace_back();
        record.profile = statement.GetInt(0);
        record.name = FromUtf8(statement.GetText(1));
        record.status = statement.GetInt(2);
        record.app = FromUtf8(statement.GetText(3));
        record.type = statement.GetInt(4);
    }
    return static_cast<int>(list.size());
}

bool DataStore::SetActiveProfile(int profile) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "UPDATE t_profile_data SET status = ?");
    statement.BindInt(1, 0);
    statement.Step();
    connection_.Prepare(statement, "UPDATE t_profile_data SET status = ? WHERE profile = ?");
    statement.BindInt(1, 1);
    statement.BindInt(2, profile);
    return StepSucceeded(statement.Step());
}

int DataStore::GetActiveProfile() {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT profile FROM t_profile_data WHERE status = ?");
    statement.BindInt(1, 1);
    if (statement.Step() != kStepRow) {
        return 0;
    }
    return statement.GetInt(0);
}

}  // namespace quillora
