#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::Query;
using testing::Rows;
using testing::StoreTest;

// Every new profile starts with exactly these rows, in this order.
const Rows kDefaults = {
    {"version", "1.0.1"},
    {"lightmode", "3"},
    {"sleep_light", "1"},
    {"move_wakeup", "1"},
    {"move_closelight", "1"},
    {"report_rate", "2"},
    {"report_rate_wireless", "1"},
    {"report_count", "4"},
    {"report_flag", "127"},
    {"button_respondtime", "8"},
    {"sensor_flag", "53"},
    {"liftoff_height", "1"},
    {"scroll_flag", "1"},
    {"e-sports_flag", "0"},
    {"leftbtn_lock", "1"},
    {"dpi_flag", "6"},
    {"dpi_index", "1"},
    {"dpi_count", "6"},
    {"dpi_group0_value", "800"},
    {"dpi_group1_value", "1600"},
    {"dpi_group2_value", "2400"},
    {"dpi_group3_value", "3200"},
    {"dpi_group4_value", "6400"},
    {"dpi_group5_value", "26000"},
    {"dpi_group6_value", "26000"},
    {"dpi_group7_value", "0"},
    {"dpi_group0_rgb", "255"},
    {"dpi_group1_rgb", "16711680"},
    {"dpi_group2_rgb", "65280"},
    {"dpi_group3_rgb", "65535"},
    {"dpi_group4_rgb", "16711935"},
    {"dpi_group5_rgb", "16776960"},
    {"dpi_group6_rgb", "16712191"},
    {"dpi_group7_rgb", "16777215"},
    {"dpi_group8_rgb", "2139135"},
    {"mouse_speed", "10"},
    {"mouse_sensitivity", "1"},
    {"wheel_scrollflag", "0"},
    {"wheel_scrolllines", "3"},
    {"doubleclick_time", "550"},
};

Rows SettingsOf(const std::filesystem::path& file, int profile) {
    return Query(file, "SELECT key, value FROM t_configdata WHERE profile = " +
                           std::to_string(profile) + " ORDER BY config_id");
}

TEST_F(StoreTest, NewProfileHasTheFortyDefaultsInOrder) {
    ASSERT_EQ(store.AddProfile({}), 1);
    ASSERT_EQ(store.AddProfile({}), 2);
    EXPECT_EQ(SettingsOf(File(), 1), kDefaults);
    EXPECT_EQ(SettingsOf(File(), 2), kDefaults);
    std::u16string value;
    EXPECT_TRUE(store.GetSetting(2, "lightmode", value));
    EXPECT_EQ(value, u"3");
}

TEST_F(StoreTest, InsertDefaultSettingsAddsRowsWithoutAProfile) {
    store.InsertDefaultSettings(9);
    EXPECT_EQ(SettingsOf(File(), 9), kDefaults);
    EXPECT_EQ(Query(File(), "SELECT count(*) FROM t_profile_data"), Rows{{"0"}});
}

TEST_F(StoreTest, SetSettingUpdatesOnlyThatProfilesRow) {
    ASSERT_EQ(store.AddProfile({}), 1);
    ASSERT_EQ(store.AddProfile({}), 2);
    EXPECT_TRUE(store.SetSetting(2, "dpi_group2_value", u"3150"));
    std::u16string value;
    EXPECT_TRUE(store.GetSetting(2, "dpi_group2_value", value));
    EXPECT_EQ(value, u"3150");
    EXPECT_TRUE(store.GetSetting(1, "dpi_group2_value", value));
    EXPECT_EQ(value, u"2400");
    EXPECT_EQ(Query(File(), "SELECT count(*) FROM t_configdata"), Rows{{"80"}});
}

TEST_F(StoreTest, UnknownKeyIsNotFoundAndSetSettingNeverInserts) {
    ASSERT_EQ(store.AddProfile({}), 1);
    std::u16string value = u"left over";
    EXPECT_FALSE(store.GetSetting(1, "no_such_key", value));
    EXPECT_EQ(value, u"");
    // Reported as success, and still nothing there: rows are made only with a profile.
    EXPECT_TRUE(store.SetSetting(1, "no_such_key", u"5"));
    EXPECT_TRUE(store.SetSetting(7, "dpi_index", u"5"));
    EXPECT_FALSE(store.GetSetting(1, "no_such_key", value));
    EXPECT_FALSE(store.GetSetting(7, "dpi_index", value));
    EXPECT_EQ(Query(File(), "SELECT count(*) FROM t_configdata"), Rows{{"40"}});
}

TEST_F(StoreTest, EmptySettingValueIsStoredAsEmptyText) {
    ASSERT_EQ(store.AddProfile({}), 1);
    EXPECT_TRUE(store.SetSetting(1, "mouse_speed", u""));
    std::u16string value = u"x";
    EXPECT_TRUE(store.GetSetting(1, "mouse_speed", value));
    EXPECT_EQ(value, u"");
    EXPECT_EQ(Query(File(), "SELECT typeof(value) FROM t_configdata WHERE key = 'mouse_speed'"),
              Rows{{"text"}});
}

TEST_F(StoreTest, AddProfileWritesNameAndAppButNeverStatusOrType) {
    ProfileRecord record;
    record.profile = 55;
    record.name = u"Work";
    record.app = u"app";
    record.status = 1;
    record.type = 9;
    ASSERT_EQ(store.AddProfile(record), 1);
    EXPECT_EQ(Query(File(), "SELECT * FROM t_profile_data"),
              (Rows{{"1", "Work", "0", "app", "0"}}));
}

TEST_F(StoreTest, ListProfilesReplacesTheListsContentInRowOrder) {
    std::vector<ProfileRecord> list(3);
    list[0].name = u"stale";
    EXPECT_EQ(store.ListProfiles(list), 0);
    EXPECT_TRUE(list.empty());

    for (const char16_t* name : {u"A", u"B", u"C"}) {
        ProfileRecord record;
        record.name = name;
        store.AddProfile(record);
    }
    ASSERT_TRUE(store.SetActiveProfile(2));
    list.assign(5, ProfileRecord{});
    ASSERT_EQ(store.ListProfiles(list), 3);
    const std::vector<ProfileRecord> expected = {
        {1, u"A", u"", 0, 0}, {2, u"B", u"", 0, 1}, {3, u"C", u"", 0, 0}};
    EXPECT_EQ(list, expected);
}

TEST_F(StoreTest, RenameAndGetProfileName) {
    ASSERT_EQ(store.AddProfile({}), 1);
    EXPECT_TRUE(store.RenameProfile(1, u"Games"));
    std::u16string name = u"old";
    EXPECT_TRUE(store.GetProfileName(1, name));
    EXPECT_EQ(name, u"Games");
    EXPECT_FALSE(store.GetProfileName(2, name));
    EXPECT_EQ(name, u"");
}

TEST_F(StoreTest, ExactlyOneProfileIsActive) {
    for (int i = 0; i < 4; ++i) {
        store.AddProfile({});
    }
    EXPECT_EQ(store.GetActiveProfile(), 0);  // new profiles are inactive
    ASSERT_TRUE(store.SetActiveProfile(3));
    EXPECT_EQ(store.GetActiveProfile(), 3);
    ASSERT_TRUE(store.SetActiveProfile(1));
    EXPECT_EQ(store.GetActiveProfile(), 1);
    EXPECT_EQ(Query(File(), "SELECT profile, status FROM t_profile_data"),
              (Rows{{"1", "1"}, {"2", "0"}, {"3", "0"}, {"4", "0"}}));
}

TEST_F(StoreTest, ActivatingAMissingProfileLeavesNoneActive) {
    store.AddProfile({});
    store.AddProfile({});
    ASSERT_TRUE(store.SetActiveProfile(2));
    EXPECT_TRUE(store.SetActiveProfile(9));
    EXPECT_EQ(store.GetActiveProfile(), 0);
    EXPECT_EQ(Query(File(), "SELECT sum(status) FROM t_profile_data"), Rows{{"0"}});
}

TEST(ClosedStoreTest, EveryOperationReportsFailure) {
    DataStore store;  // never opened
    std::u16string text = u"x";
    EXPECT_FALSE(store.GetSetting(1, "dpi_index", text));
    EXPECT_EQ(text, u"");
    EXPECT_FALSE(store.SetSetting(1, "dpi_index", u"1"));
    store.InsertDefaultSettings(1);
    EXPECT_EQ(store.AddProfile({}), 0);
    EXPECT_FALSE(store.RenameProfile(1, u"n"));
    EXPECT_FALSE(store.GetProfileName(1, text));
    std::vector<ProfileRecord> profiles(1);
    EXPECT_EQ(store.ListProfiles(profiles), 0);
    EXPECT_TRUE(profiles.empty());
    EXPECT_FALSE(store.SetActiveProfile(1));
    EXPECT_EQ(store.GetActiveProfile(), 0);

    KeyRecord key;
    key.macro_value = 1;
    EXPECT_EQ(store.SaveKey(key), 0);
    EXPECT_FALSE(store.GetKey(0, 0, key));
    EXPECT_FALSE(store.SetKeyDescription(0, 0, u"d"));
    std::vector<KeyRecord> keys(1);
    EXPECT_EQ(store.ListKeys(0, keys), 0);
    EXPECT_FALSE(store.DeleteKeysOfProfile(0));

    MacroRecord macro;
    EXPECT_EQ(store.CreateMacro(u"m"), 0);
    EXPECT_EQ(store.CreateMacro(macro), 0);
    EXPECT_FALSE(store.RenameMacro(1, u"n"));
    EXPECT_FALSE(store.UpdateMacro(macro));
    EXPECT_FALSE(store.DeleteMacro(1));
    EXPECT_FALSE(store.GetMacro(1, macro));
    std::vector<MacroRecord> macros(1);
    EXPECT_EQ(store.ListMacros(macros), 0);
    MacroEventRecord event;
    EXPECT_EQ(store.AddMacroEvent(event), 0);
    store.AddMacroEvents({event});
    EXPECT_FALSE(store.ReplaceMacroEvents(1, {event}));
    std::vector<MacroEventRecord> events(1);
    EXPECT_EQ(store.ListMacroEvents(1, events), 0);
    EXPECT_FALSE(store.DeleteMacroEvents(1));

    LightRecord light;
    EXPECT_EQ(store.CountLights(1), 0);
    EXPECT_EQ(store.AddLight(light), 0);
    EXPECT_FALSE(store.UpdateLight(1, light));
    EXPECT_FALSE(store.SetActiveLightMode(1, 1));
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
    EXPECT_FALSE(store.GetLight(1, 1, light));
    std::vector<LightRecord> lights(1);
    EXPECT_EQ(store.ListLights(1, lights), 0);
}

}  // namespace
}  // namespace quillora
