// Button assignment rows of the DataStore. Only layer 0 is read; a button at its
// default assignment has no row.

#include "app/Utf8.h"
#include "store/DataStore.h"
#include "store/SQLiteStatement.h"
#include "store/StepResult.h"

namespace quillora {

namespace {

// Columns in table order, as SELECT * delivers them.
void ReadKey(const SQLiteStatement& statement, KeyRecord& record) {
    record.key_id = statement.GetInt(0);
    record.profile = statement.GetInt(1);
    record.fn_layer = statement.GetInt(2);
    record.key_code = statement.GetInt(3);
    record.layout_value = statement.GetInt(4);
    record.layout_desc = FromUtf8(statement.GetText(5));
    record.macro_type = statement.GetInt(6);
    record.macro_value = statement.GetInt(7);
    record.macro_value2 = statement.GetInt(8);
    record.macro_value3 = statement.GetInt(9);
    record.macro_desc = FromUtf8(statement.GetText(10));
}

}  // namespace

int DataStore::SaveKey(const KeyRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and "
                        "key_code = ?");
    statement.BindInt(1, record.profile);
    statement.BindInt(2, record.fn_layer);
    statement.BindInt(3, record.key_code);
    statement.Step();

    if (record.macro_value == 0 && record.macro_value2 == 0) {
        return 0;  // the default assignment is the absence of a row
    }
    connection_.Prepare(statement,
                        "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, "
                        "layout_desc, macro_type, macro_value, macro_value2, macro_value3, "
                        "macro_desc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    statement.BindInt(1, record.profile);
    statement.BindInt(2, record.fn_layer);
    statement.BindInt(3, record.key_code);
    statement.BindInt(4, record.layout_value);
    statement.BindText(5, ToUtf8(record.layout_desc));
    statement.BindInt(6, record.macro_type);
    statement.BindInt(7, record.macro_value);
    statement.BindInt(8, record.macro_value2);
    statement.BindInt(9, record.macro_value3);
    statement.BindText(10, ToUtf8(record.macro_desc));
    return StepInsert(statement);
}

bool DataStore::GetKey(int profile, int keyCode, KeyRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and "
                        "key_code = ?");
    statement.BindInt(1, profile);
    statement.BindInt(2, 0);
    statement.BindInt(3, keyCode);
    if (statement.Step() != kStepRow) {
        return false;
    }
    ReadKey(statement, record);
    return true;
}

bool DataStore::SetKeyDescription(int profile, int keyCode, std::u16string_view text) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "UPDATE t_key_macro_data SET macro_desc = ? WHERE profile = ? and "
                        "fn_layer = ? and key_code = ?");
    statement.BindText(1, ToUtf8(text));
    statement.BindInt(2, profile);
    statement.BindInt(3, 0);
    statement.BindInt(4, keyCode);
    return StepSucceeded(statement.Step());
}

int DataStore::ListKeys(int profile, std::vector<KeyRecord>& list) {
    Lock lock(lock_);
    list.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
    statement.BindInt(1, profile);
    statement.BindInt(2, 0);
    while (statement.Step() == kStepRow) {
        ReadKey(statement, list.emplace_back());
    }
    return static_cast<int>(list.size());
}

bool DataStore::DeleteKeysOfProfile(int profile) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "DELETE FROM t_key_macro_data WHERE profile = ?");
    statement.BindInt(1, profile);
    return StepSucceeded(statement.Step());
}

}  // namespace quillora
