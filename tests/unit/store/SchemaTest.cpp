#include <gtest/gtest.h>

#include <fstream>

#include "StoreTestSupport.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::ExecuteOn;
using testing::Query;
using testing::Rows;
using testing::StoreTest;
using testing::TempDataFolder;

constexpr const char* kTables[] = {"t_configdata",    "t_profile_data",  "t_key_macro_data",
                                   "t_key_otherdata", "t_macro_data",    "t_macrorecord",
                                   "t_light_data",    "t_key_light_data"};

TEST_F(StoreTest, FreshFileHasEightTablesAndSevenIndexesInOrder) {
    EXPECT_EQ(store.Path(), File().string());
    EXPECT_TRUE(store.IsOpen());
    // Creation order as sqlite_master records it; sqlite_sequence is SQLite's own
    // table for AUTOINCREMENT and appears with the first such table.
    const Rows expected = {
        {"table", "t_configdata", "t_configdata"},
        {"table", "t_profile_data", "t_profile_data"},
        {"index", "profileindex", "t_profile_data"},
        {"table", "t_key_macro_data", "t_key_macro_data"},
        {"index", "keyindex", "t_key_macro_data"},
        {"table", "t_key_otherdata", "t_key_otherdata"},
        {"index", "otheridindex", "t_key_otherdata"},
        {"table", "t_macro_data", "t_macro_data"},
        {"index", "macroidindex", "t_macro_data"},
        {"table", "t_macrorecord", "t_macrorecord"},
        {"index", "macrorecordindex", "t_macrorecord"},
        {"table", "t_light_data", "t_light_data"},
        {"index", "lightindex", "t_light_data"},
        {"table", "t_key_light_data", "t_key_light_data"},
        {"index", "keylightindex", "t_key_light_data"},
    };
    EXPECT_EQ(Query(File(),
                    "SELECT type, name, tbl_name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' "
                    "ORDER BY rowid"),
              expected);
    for (const char* table : kTables) {
        EXPECT_EQ(Query(File(), std::string("SELECT count(*) FROM ") + table), Rows{{"0"}})
            << table;
    }
}

TEST_F(StoreTest, FreshTablesHaveTheirColumnsInOrder) {
    const std::pair<const char*, const char*> columns[] = {
        {"t_configdata", "config_id profile key value"},
        {"t_profile_data", "profile name status app type"},
        {"t_key_macro_data",
         "key_id profile fn_layer key_code layout_value layout_desc macro_type macro_value "
         "macro_value2 macro_value3 macro_desc"},
        {"t_key_otherdata", "macro_value macro_desc param type"},
        {"t_macro_data", "macro_id name play_type play_times delay_type delay_time"},
        {"t_macrorecord", "record_id macro_id type record_index desc value delay_time"},
        {"t_light_data",
         "light_id profile name mode brightness speed direction colorful colorindex "
         "color_value1 color_value2 color_value3 color_value4 color_value5 color_value6 "
         "color_value7 config_func reserved status"},
        {"t_key_light_data", "keylight_id profile light_id key_code key_rgb"},
    };
    for (const auto& [table, names] : columns) {
        const Rows rows =
            Query(File(), std::string("SELECT group_concat(name, ' ') FROM pragma_table_info('") +
                              table + "')");
        EXPECT_EQ(rows, Rows{{names}}) << table;
    }
}

TEST_F(StoreTest, FreshFileUsesTheWriteAheadLog) {
    EXPECT_EQ(Query(File(), "PRAGMA journal_mode"), Rows{{"wal"}});
}

TEST(SchemaTest, ExistingFileIsOpenedWithoutRunningTheSchema) {
    TempDataFolder folder;
    ASSERT_TRUE(
        ExecuteOn(folder.DbFile("M1"), "CREATE TABLE mine(x); INSERT INTO mine VALUES (7)"));
    DataStore store;
    ASSERT_TRUE(store.OpenDatabase(folder.path(), u"M1"));
    EXPECT_EQ(Query(folder.DbFile("M1"), "SELECT name FROM sqlite_master"), Rows{{"mine"}});
    EXPECT_EQ(Query(folder.DbFile("M1"), "SELECT x FROM mine"), Rows{{"7"}});
    // The one change opening makes: the switch to the write-ahead log.
    EXPECT_EQ(Query(folder.DbFile("M1"), "PRAGMA journal_mode"), Rows{{"wal"}});
    EXPECT_EQ(store.AddProfile({}), 0);
}

TEST(SchemaTest, FileThatIsNoDatabaseOpensButEveryOperationFails) {
    TempDataFolder folder;
    std::ofstream(folder.DbFile("M1")) << "this is not an SQLite file, just some text bytes";
    DataStore store;
    EXPECT_TRUE(store.OpenDatabase(folder.path(), u"M1"));
    EXPECT_EQ(store.AddProfile({}), 0);
    std::u16string value = u"stale";
    EXPECT_FALSE(store.GetSetting(1, "dpi_index", value));
    EXPECT_EQ(value, u"");
    EXPECT_FALSE(store.SetSetting(1, "dpi_index", u"2"));
}

TEST(SchemaTest, FileLackingATableFailsOnlyTheOperationsOnIt) {
    TempDataFolder folder;
    ASSERT_TRUE(ExecuteOn(folder.DbFile("M1"),
                          "CREATE TABLE t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "profile INTEGER, key TEXT, value TEXT);"
                          "CREATE TABLE t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "name TEXT, status INTEGER, app TEXT, type INTEGER);"));
    DataStore store;
    ASSERT_TRUE(store.OpenDatabase(folder.path(), u"M1"));
    EXPECT_EQ(store.AddProfile({}), 1);

    LightRecord light;
    light.profile = 1;
    light.mode = 1;
    EXPECT_EQ(store.AddLight(light), 0);
    EXPECT_EQ(store.CountLights(1), 0);
    EXPECT_FALSE(store.UpdateLight(1, light));
    EXPECT_FALSE(store.SetActiveLightMode(1, 1));
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
    EXPECT_FALSE(store.GetLight(1, 1, light));
    std::vector<LightRecord> lights(2);
    EXPECT_EQ(store.ListLights(1, lights), 0);
    EXPECT_TRUE(lights.empty());

    KeyRecord key;
    key.profile = 1;
    key.macro_value = 3;
    EXPECT_EQ(store.SaveKey(key), 0);
    EXPECT_FALSE(store.DeleteKeysOfProfile(1));
    EXPECT_EQ(store.CreateMacro(u"m"), 0);
    MacroEventRecord event;
    EXPECT_EQ(store.AddMacroEvent(event), 0);
    EXPECT_FALSE(store.ReplaceMacroEvents(1, {event}));
    EXPECT_FALSE(store.DeleteMacro(1));
}

TEST(SchemaTest, MissingDbFolderLeavesTheStoreClosed) {
    TempDataFolder folder;
    std::filesystem::remove(folder.path() / "db");
    DataStore store;
    EXPECT_FALSE(store.OpenDatabase(folder.path(), u"M1"));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "db"));
}

TEST_F(StoreTest, OpenWhileOpenKeepsTheConnectionWhateverTheName) {
    ASSERT_EQ(store.AddProfile({}), 1);
    EXPECT_TRUE(store.OpenDatabase(folder.path(), u"M2"));
    EXPECT_FALSE(std::filesystem::exists(folder.DbFile("M2")));
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(store.ListProfiles(profiles), 1);
}

TEST_F(StoreTest, CloseThenOpenSwitchesToTheOtherModelsFile) {
    ASSERT_EQ(store.AddProfile({}), 1);
    store.CloseDatabase();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.AddProfile({}), 0);  // closed: every operation fails

    ASSERT_TRUE(store.OpenDatabase(folder.path(), u"M2"));
    EXPECT_TRUE(std::filesystem::exists(folder.DbFile("M2")));
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(store.ListProfiles(profiles), 0);

    // Reopening the first model finds its profile again, without the schema re-run.
    store.CloseDatabase();
    ASSERT_TRUE(store.OpenDatabase(folder.path(), u"M1"));
    EXPECT_EQ(store.ListProfiles(profiles), 1);
}

TEST_F(StoreTest, CreateDatabaseWhileOpenDoesNothing) {
    EXPECT_TRUE(store.CreateDatabase());
    EXPECT_EQ(Query(File(), "SELECT count(*) FROM sqlite_master WHERE type = 'table'"),
              Rows{{"9"}});
}

TEST(SchemaTest, ModelNameIsTheFileNameInUtf8) {
    TempDataFolder folder;
    DataStore store;
    ASSERT_TRUE(store.OpenDatabase(folder.path(), u"\u9f20\u6807-\u041c"));
    EXPECT_TRUE(std::filesystem::exists(folder.DbFile("\xE9\xBC\xA0\xE6\xA0\x87-\xD0\x9C")));
}

}  // namespace
}  // namespace quillora
