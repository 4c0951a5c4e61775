#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::Query;
using testing::Rows;
using testing::StoreTest;

KeyRecord Assignment(int profile, int keyCode, int macroValue, int macroValue2 = 0) {
    KeyRecord record;
    record.profile = profile;
    record.key_code = keyCode;
    record.macro_type = 2;
    record.macro_value = macroValue;
    record.macro_value2 = macroValue2;
    record.macro_value3 = 4;
    record.macro_desc = u"desc";
    return record;
}

TEST_F(StoreTest, SaveKeyStoresEveryFieldAndGetKeyReadsThemBack) {
    KeyRecord record = Assignment(1, 5, 7, 8);
    record.layout_value = 3;
    record.layout_desc = u"layout";
    const int id = store.SaveKey(record);
    ASSERT_GT(id, 0);
    KeyRecord read;
    ASSERT_TRUE(store.GetKey(1, 5, read));
    record.key_id = id;
    EXPECT_EQ(read, record);
}

TEST_F(StoreTest, SaveKeyReplacesTheButtonsRow) {
    const int first = store.SaveKey(Assignment(1, 5, 7));
    const int second = store.SaveKey(Assignment(1, 5, 9));
    ASSERT_GT(first, 0);
    EXPECT_GT(second, first);  // a new row, not an update of the old one
    std::vector<KeyRecord> keys;
    ASSERT_EQ(store.ListKeys(1, keys), 1);
    EXPECT_EQ(keys[0].key_id, second);
    EXPECT_EQ(keys[0].macro_value, 9);
}

// Whether a function is the default assignment (stored as no row) depends on
// macro_value and macro_value2 only.
struct DefaultCase {
    int macro_value;
    int macro_value2;
    bool stored;
};

class SaveKeyDefaultTest : public StoreTest, public ::testing::WithParamInterface<DefaultCase> {};

TEST_P(SaveKeyDefaultTest, DefaultAssignmentIsTheAbsenceOfARow) {
    ASSERT_GT(store.SaveKey(Assignment(1, 5, 7)), 0);
    const int id = store.SaveKey(Assignment(1, 5, GetParam().macro_value, GetParam().macro_value2));
    KeyRecord read;
    EXPECT_EQ(store.GetKey(1, 5, read), GetParam().stored);
    EXPECT_EQ(id > 0, GetParam().stored);
    EXPECT_EQ(Query(File(), "SELECT count(*) FROM t_key_macro_data"),
              Rows{{GetParam().stored ? "1" : "0"}});
}

INSTANTIATE_TEST_SUITE_P(Values, SaveKeyDefaultTest,
                         ::testing::Values(DefaultCase{0, 0, false}, DefaultCase{1, 0, true},
                                           DefaultCase{0, 1, true}, DefaultCase{-1, 0, true}));

TEST_F(StoreTest, OtherLayersAreNeitherReadNorReplaced) {
    ASSERT_GT(store.SaveKey(Assignment(1, 5, 7)), 0);
    KeyRecord layer1 = Assignment(1, 5, 9);
    layer1.fn_layer = 1;
    ASSERT_GT(store.SaveKey(layer1), 0);
    KeyRecord read;
    ASSERT_TRUE(store.GetKey(1, 5, read));
    EXPECT_EQ(read.macro_value, 7);
    std::vector<KeyRecord> keys;
    EXPECT_EQ(store.ListKeys(1, keys), 1);
    EXPECT_EQ(Query(File(), "SELECT count(*) FROM t_key_macro_data"), Rows{{"2"}});
}

TEST_F(StoreTest, GetKeyWithoutRowLeavesTheRecordAlone) {
    KeyRecord record = Assignment(3, 3, 3);
    EXPECT_FALSE(store.GetKey(1, 5, record));
    EXPECT_EQ(record, Assignment(3, 3, 3));
}

TEST_F(StoreTest, SetKeyDescriptionChangesOnlyThatButton) {
    store.SaveKey(Assignment(1, 5, 7));
    store.SaveKey(Assignment(1, 6, 7));
    EXPECT_TRUE(store.SetKeyDescription(1, 5, u"Macro 1"));
    EXPECT_TRUE(store.SetKeyDescription(1, 99, u"nothing there"));
    EXPECT_EQ(Query(File(), "SELECT key_code, macro_desc FROM t_key_macro_data ORDER BY key_code"),
              (Rows{{"5", "Macro 1"}, {"6", "desc"}}));
}

TEST_F(StoreTest, ListKeysAndDeleteKeysAreByProfile) {
    store.SaveKey(Assignment(1, 5, 7));
    store.SaveKey(Assignment(1, 6, 7));
    store.SaveKey(Assignment(2, 5, 7));
    std::vector<KeyRecord> keys(4);
    EXPECT_EQ(store.ListKeys(1, keys), 2);
    EXPECT_TRUE(store.DeleteKeysOfProfile(1));
    EXPECT_EQ(store.ListKeys(1, keys), 0);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(store.ListKeys(2, keys), 1);
}

}  // namespace
}  // namespace quillora
