// Macro headers and macro events of the DataStore. Macros belong to no profile.

#include "app/Utf8.h"
#include "store/DataStore.h"
#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteStatement.h"
#include "store/StepResult.h"

namespace quillora {

namespace {

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(name, play_type, play_times, delay_type, delay_time) VALUES (?, "
    "?, ?, ?, ?);";

constexpr const char* kInsertMacroEvent =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES "
    "(?, ?, ?, ?, ?, ?);";

void ReadMacro(const SQLiteStatement& statement, MacroRecord& record) {
    record.macro_id = statement.GetInt(0);
    record.name = FromUtf8(statement.GetText(1));
    record.play_type = statement.GetInt(2);
    record.play_times = statement.GetInt(3);
    record.delay_type = statement.GetInt(4);
    record.delay_time = statement.GetInt(5);
}

// Table order: record_id, macro_id, type, record_index, desc, value, delay_time.
void ReadMacroEvent(const SQLiteStatement& statement, MacroEventRecord& record) {
    record.record_id = statement.GetInt(0);
    record.macro_id = statement.GetInt(1);
    record.type = statement.GetInt(2);
    record.record_index = statement.GetInt(3);
    record.desc = FromUtf8(statement.GetText(4));
    record.value = statement.GetInt(5);
    record.delay_time = statement.GetInt(6);
}

}  // namespace

int DataStore::CreateMacro(std::u16string_view name) {
    MacroRecord record;
    record.name = name;
    record.play_times = 1;
    record.delay_type = 1;
    return CreateMacro(record);
}

int DataStore::CreateMacro(const MacroRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, kInsertMacro);
    statement.BindText(1, ToUtf8(record.name));
    statement.BindInt(2, record.play_type);
    statement.BindInt(3, record.play_times);
    statement.BindInt(4, record.delay_type);
    statement.BindInt(5, record.delay_time);
    return StepInsert(statement);
}

bool DataStore::RenameMacro(int macroId, std::u16string_view name) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?");
    statement.BindText(1, ToUtf8(name));
    statement.BindInt(2, macroId);
    return StepSucceeded(statement.Step());
}

bool DataStore::UpdateMacro(const MacroRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "UPDATE t_macro_data SET name = ?, play_type = ?, play_times = ?, "
                        "delay_type = ?,delay_time = ? WHERE macro_id = ?");
    statement.BindText(1, ToUtf8(record.name));
    statement.BindInt(2, record.play_type);
    statement.BindInt(3, record.play_times);
    statement.BindInt(4, record.delay_type);
    statement.BindInt(5, record.delay_time);
    statement.BindInt(6, record.macro_id);
    return StepSucceeded(statement.Step());
}

bool DataStore::DeleteMacro(int macroId) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "DELETE FROM t_macro_data WHERE macro_id = ?");
    statement.BindInt(1, macroId);
    if (!StepSucceeded(statement.Step())) {
        return false;
    }
    connection_.Prepare(statement, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    statement.BindInt(1, macroId);
    return StepSucceeded(statement.Step());
}

bool DataStore::GetMacro(int macroId, MacroRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT * FROM t_macro_data WHERE macro_id = ?");
    statement.BindInt(1, macroId);
    if (statement.Step() != kStepRow) {
        return false;
    }
    ReadMacro(statement, record);
    return true;
}

int DataStore::ListMacros(std::vector<MacroRecord>& list) {
    Lock lock(lock_);
    list.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT * FROM t_macro_data");
    while (statement.Step() == kStepRow) {
        ReadMacro(statement, list.emplace_back());
    }
    return static_cast<int>(list.size());
}

bool DataStore::InsertMacroEvent(int macroId, const MacroEventRecord& event) {
    SQLiteStatement statement;
    connection_.Prepare(statement, kInsertMacroEvent);
    statement.BindInt(1, macroId);
    statement.BindInt(2, event.type);
    statement.BindInt(3, event.record_index);
    statement.BindText(4, ToUtf8(event.desc));
    statement.BindInt(5, event.value);
    statement.BindInt(6, event.delay_time);
    return StepSucceeded(statement.Step());
}

int DataStore::AddMacroEvent(const MacroEventRecord& event) {
    Lock lock(lock_);
    if (!InsertMacroEvent(event.macro_id, event)) {
        return 0;
    }
    return static_cast<int>(connection_.LastInsertRowId());
}

void DataStore::AddMacroEvents(const std::vector<MacroEventRecord>& events) {
    Lock lock(lock_);
    // One commit for the whole list; the constructor issues the BEGIN.
    SQLiteAutoTransaction transaction(&connection_);
    for (const MacroEventRecord& event : events) {
        InsertMacroEvent(event.macro_id, event);
    }
    transaction.Commit();
}

bool DataStore::ReplaceMacroEvents(int macroId, const std::vector<MacroEventRecord>& events) {
    Lock lock(lock_);
    SQLiteAutoTransaction transaction(&connection_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    statement.BindInt(1, macroId);
    if (!StepSucceeded(statement.Step())) {
        return false;  // the old events stay; the transaction ends with nothing changed
    }
    bool allInserted = true;
    for (const MacroEventRecord& event : events) {
        if (!InsertMacroEvent(macroId, event)) {
            allInserted = false;
        }
    }
    return transaction.Commit() && allInserted;
}

int DataStore::ListMacroEvents(int macroId, std::vector<MacroEventRecord>& list) {
    Lock lock(lock_);
    list.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC");
    statement.BindInt(1, macroId);
    while (statement.Step() == kStepRow) {
        ReadMacroEvent(statement, list.emplace_back());
    }
    return static_cast<int>(list.size());
}

bool DataStore::DeleteMacroEvents(int macroId) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    statement.BindInt(1, macroId);
    return StepSucceeded(statement.Step());
}

}  // namespace quillora
