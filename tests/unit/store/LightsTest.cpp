#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::Query;
using testing::Rows;
using testing::StoreTest;

// A row whose every field differs from the others, so a column mix-up shows.
LightRecord Light(int profile, int mode, int base) {
    return LightRecord{0,         profile,   u"Mode " + std::u16string(1, char16_t(u'0' + mode)),
                       mode,      base + 1,  base + 2,
                       base + 3,  base + 4,  base + 5,
                       base + 6,  base + 7,  base + 8,
                       base + 9,  base + 10, base + 11,
                       base + 12, base + 13, base + 14,
                       0};
}

TEST_F(StoreTest, AddLightStoresAllNineteenFields) {
    LightRecord light = Light(1, 2, 100);
    light.status = 1;
    const int id = store.AddLight(light);
    ASSERT_GT(id, 0);
    LightRecord read;
    ASSERT_TRUE(store.GetLight(1, 2, read));
    light.light_id = id;
    EXPECT_EQ(read, light);
    EXPECT_EQ(Query(File(), "SELECT * FROM t_light_data"),
              (Rows{{std::to_string(id), "1", "Mode 2", "2", "101", "102", "103", "104", "105",
                     "106", "107", "108", "109", "110", "111", "112", "113", "114", "1"}}));
}

TEST_F(StoreTest, UpdateLightKeepsNameModeAndStatus) {
    ASSERT_GT(store.AddLight(Light(1, 1, 0)), 0);
    ASSERT_GT(store.AddLight(Light(1, 2, 0)), 0);
    ASSERT_TRUE(store.SetActiveLightMode(1, 2));
    LightRecord update = Light(1, 9, 200);
    update.name = u"ignored";
    update.status = 0;
    EXPECT_TRUE(store.UpdateLight(2, update));

    LightRecord read;
    ASSERT_TRUE(store.GetLight(1, 2, read));
    LightRecord expected = Light(1, 2, 200);
    expected.light_id = read.light_id;
    expected.status = 1;
    EXPECT_EQ(read, expected);
    ASSERT_TRUE(store.GetLight(1, 1, read));
    EXPECT_EQ(read.brightness, 1);  // the other mode is untouched
}

TEST_F(StoreTest, ActiveLightModeMovesWithinTheProfile) {
    for (int mode = 0; mode < 3; ++mode) {
        store.AddLight(Light(1, mode, 0));
        store.AddLight(Light(2, mode, 0));
    }
    ASSERT_TRUE(store.SetActiveLightMode(2, 1));
    ASSERT_TRUE(store.SetActiveLightMode(1, 1));
    EXPECT_EQ(store.GetActiveLightMode(1), 1);
    ASSERT_TRUE(store.SetActiveLightMode(1, 2));
    EXPECT_EQ(store.GetActiveLightMode(1), 2);
    EXPECT_EQ(store.GetActiveLightMode(2), 1);
    EXPECT_EQ(Query(File(), "SELECT mode FROM t_light_data WHERE profile = 1 AND status = 1"),
              Rows{{"2"}});

    // A mode without a row leaves the profile with no active mode.
    EXPECT_TRUE(store.SetActiveLightMode(1, 7));
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
    EXPECT_EQ(store.GetActiveLightMode(2), 1);
}

TEST_F(StoreTest, CountAndListLightsByProfile) {
    EXPECT_EQ(store.CountLights(1), 0);
    const int first = store.AddLight(Light(1, 3, 0));
    store.AddLight(Light(1, 1, 0));
    store.AddLight(Light(2, 1, 0));
    EXPECT_EQ(store.CountLights(1), 2);
    std::vector<LightRecord> lights(5);
    ASSERT_EQ(store.ListLights(1, lights), 2);
    EXPECT_EQ(lights[0].light_id, first);  // row order, not mode order
    EXPECT_EQ(lights[0].mode, 3);
}

TEST_F(StoreTest, GetLightWithoutRowLeavesTheRecordAlone) {
    LightRecord record = Light(4, 4, 4);
    EXPECT_FALSE(store.GetLight(1, 1, record));
    EXPECT_EQ(record, Light(4, 4, 4));
}

}  // namespace
}  // namespace quillora
