// Lighting rows of the DataStore: one row per profile and lighting mode, created once
// by the lighting page and afterwards only updated.

#include "app/Utf8.h"
#include "store/DataStore.h"
#include "store/SQLiteStatement.h"
#include "store/StepResult.h"

namespace quillora {

namespace {

// The nineteen columns in table order, as SELECT * delivers them.
void ReadLight(const SQLiteStatement& statement, LightRecord& record) {
    record.light_id = statement.GetInt(0);
    record.profile = statement.GetInt(1);
    record.name = FromUtf8(statement.GetText(2));
    record.mode = statement.GetInt(3);
    record.brightness = statement.GetInt(4);
    record.speed = statement.GetInt(5);
    record.direction = statement.GetInt(6);
    record.colorful = statement.GetInt(7);
    record.colorindex = statement.GetInt(8);
    record.color_value1 = statement.GetInt(9);
    record.color_value2 = statement.GetInt(10);
    record.color_value3 = statement.GetInt(11);
    record.color_value4 = statement.GetInt(12);
    record.color_value5 = statement.GetInt(13);
    record.color_value6 = statement.GetInt(14);
    record.color_value7 = statement.GetInt(15);
    record.config_func = statement.GetInt(16);
    record.reserved = statement.GetInt(17);
    record.status = statement.GetInt(18);
}

// Binds brightness through reserved (fourteen values) from parameter `first` on.
void BindLightParameters(SQLiteStatement& statement, int first, const LightRecord& record) {
    const int values[] = {record.brightness,   record.speed,        record.direction,
                          record.colorful,     record.colorindex,   record.color_value1,
                          record.color_value2, record.color_value3, record.color_value4,
                          record.color_value5, record.color_value6, record.color_value7,
                          record.config_func,  record.reserved};
    for (int value : values) {
        statement.BindInt(first++, value);
    }
}

}  // namespace

int DataStore::CountLights(int profile) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "select count(*) FROM t_light_data WHERE profile = ?");
    statement.BindInt(1, profile);
    if (statement.Step() != kStepRow) {
        return 0;
    }
    return statement.GetInt(0);
}

int DataStore::AddLight(const LightRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "INSERT INTO t_light_data(profile, name, mode, brightness, speed, "
                        "direction, colorful, colorindex, color_value1, color_value2, "
                        "color_value3, color_value4, color_value5, color_value6, color_value7, "
                        "config_func, reserved, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                        "?, ?, ?, ?, ?, ?, ?, ?);");
    statement.BindInt(1, record.profile);
    statement.BindText(2, ToUtf8(record.name));
    statement.BindInt(3, record.mode);
    BindLightParameters(statement, 4, record);
    statement.BindInt(18, record.status);
    return StepInsert(statement);
}

bool DataStore::UpdateLight(int mode, const LightRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, "
                        "colorful = ?, colorindex = ?, color_value1 = ?, color_value2 = ?, "
                        "color_value3 = ?, color_value4 = ?, color_value5 = ?, color_value6 = ?, "
                        "color_value7 = ?, config_func = ?, reserved = ? WHERE profile = ? AND "
                        "mode = ?");
    BindLightParameters(statement, 1, record);
    statement.BindInt(15, record.profile);
    statement.BindInt(16, mode);
    return StepSucceeded(statement.Step());
}

bool DataStore::SetActiveLightMode(int profile, int mode) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "UPDATE t_light_data SET status = ? WHERE profile = ?");
    statement.BindInt(1, 0);
    statement.BindInt(2, profile);
    statement.Step();
    connection_.Prepare(statement,
                        "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?");
    statement.BindInt(1, 1);
    statement.BindInt(2, profile);
    statement.BindInt(3, mode);
    return StepSucceeded(statement.Step());
}

int DataStore::GetActiveLightMode(int profile) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement,
                        "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
    statement.BindInt(1, profile);
    statement.BindInt(2, 1);
    if (statement.Step() != kStepRow) {
        return 0;
    }
    return statement.GetInt(0);
}

bool DataStore::GetLight(int profile, int mode, LightRecord& record) {
    Lock lock(lock_);
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?");
    statement.BindInt(1, profile);
    statement.BindInt(2, mode);
    if (statement.Step() != kStepRow) {
        return false;
    }
    ReadLight(statement, record);
    return true;
}

int DataStore::ListLights(int profile, std::vector<LightRecord>& list) {
    Lock lock(lock_);
    list.clear();
    SQLiteStatement statement;
    connection_.Prepare(statement, "SELECT * FROM t_light_data WHERE profile = ?");
    statement.BindInt(1, profile);
    while (statement.Step() == kStepRow) {
        ReadLight(statement, list.emplace_back());
    }
    return static_cast<int>(list.size());
}

}  // namespace quillora
