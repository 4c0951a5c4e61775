#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::Query;
using testing::Rows;
using testing::StoreTest;

MacroEventRecord Event(int macroId, int index, int value, std::u16string desc = u"e") {
    MacroEventRecord event;
    event.macro_id = macroId;
    event.type = 1;
    event.record_index = index;
    event.value = value;
    event.delay_time = 10 * index;
    event.desc = std::move(desc);
    return event;
}

std::vector<int> Values(const std::vector<MacroEventRecord>& events) {
    std::vector<int> values;
    for (const auto& event : events) {
        values.push_back(event.value);
    }
    return values;
}

TEST_F(StoreTest, CreateMacroByNamePlaysOnce) {
    const int id = store.CreateMacro(u"Macro 1");
    ASSERT_GT(id, 0);
    MacroRecord macro;
    ASSERT_TRUE(store.GetMacro(id, macro));
    EXPECT_EQ(macro, (MacroRecord{id, u"Macro 1", 0, 1, 1, 0}));
}

TEST_F(StoreTest, MacroHeaderRoundTripsAndUpdates) {
    const int id = store.CreateMacro(MacroRecord{77, u"Combo", 2, 5, 3, 40});
    ASSERT_GT(id, 0);
    EXPECT_NE(id, 77);
    MacroRecord macro;
    ASSERT_TRUE(store.GetMacro(id, macro));
    EXPECT_EQ(macro, (MacroRecord{id, u"Combo", 2, 5, 3, 40}));

    EXPECT_TRUE(store.UpdateMacro(MacroRecord{id, u"Renamed", 1, 2, 0, 9}));
    ASSERT_TRUE(store.GetMacro(id, macro));
    EXPECT_EQ(macro, (MacroRecord{id, u"Renamed", 1, 2, 0, 9}));
    EXPECT_TRUE(store.RenameMacro(id, u"Again"));
    ASSERT_TRUE(store.GetMacro(id, macro));
    EXPECT_EQ(macro.name, u"Again");
    EXPECT_EQ(macro.play_times, 2);
}

TEST_F(StoreTest, GetMacroWithoutRowLeavesTheRecordAlone) {
    MacroRecord macro{5, u"keep", 1, 1, 1, 1};
    EXPECT_FALSE(store.GetMacro(5, macro));
    EXPECT_EQ(macro, (MacroRecord{5, u"keep", 1, 1, 1, 1}));
}

TEST_F(StoreTest, ListMacrosInRowOrder) {
    const int a = store.CreateMacro(u"A");
    const int b = store.CreateMacro(u"B");
    std::vector<MacroRecord> list(2);
    ASSERT_EQ(store.ListMacros(list), 2);
    EXPECT_EQ(list[0].macro_id, a);
    EXPECT_EQ(list[1].macro_id, b);
    EXPECT_EQ(list[1].name, u"B");
}

TEST_F(StoreTest, MacroEventsComeBackByRecordIndexWhateverTheInsertOrder) {
    const int id = store.CreateMacro(u"M");
    store.AddMacroEvents({Event(id, 2, 30), Event(id, 0, 10)});
    const int single = store.AddMacroEvent(Event(id, 1, 20, u"middle"));
    ASSERT_GT(single, 0);
    store.AddMacroEvent(Event(id + 1, 0, 99));  // another macro's event

    std::vector<MacroEventRecord> events(3);
    ASSERT_EQ(store.ListMacroEvents(id, events), 3);
    EXPECT_EQ(Values(events), (std::vector<int>{10, 20, 30}));
    MacroEventRecord expected = Event(id, 1, 20, u"middle");
    expected.record_id = single;
    EXPECT_EQ(events[1], expected);
}

TEST_F(StoreTest, ReplaceMacroEventsSwapsTheWholeList) {
    const int id = store.CreateMacro(u"M");
    const int other = store.CreateMacro(u"Other");
    store.AddMacroEvents({Event(id, 0, 1), Event(id, 1, 2), Event(id, 2, 3)});
    store.AddMacroEvents({Event(other, 0, 50)});

    // Events are stored under the macro given, whatever their own macro_id says.
    EXPECT_TRUE(store.ReplaceMacroEvents(id, {Event(0, 0, 7), Event(other, 1, 8)}));
    std::vector<MacroEventRecord> events;
    ASSERT_EQ(store.ListMacroEvents(id, events), 2);
    EXPECT_EQ(Values(events), (std::vector<int>{7, 8}));
    EXPECT_EQ(events[1].macro_id, id);
    ASSERT_EQ(store.ListMacroEvents(other, events), 1);

    EXPECT_TRUE(store.ReplaceMacroEvents(id, {}));
    EXPECT_EQ(store.ListMacroEvents(id, events), 0);
}

TEST_F(StoreTest, DeleteMacroEventsKeepsTheHeader) {
    const int id = store.CreateMacro(u"M");
    store.AddMacroEvents({Event(id, 0, 1)});
    EXPECT_TRUE(store.DeleteMacroEvents(id));
    std::vector<MacroEventRecord> events;
    EXPECT_EQ(store.ListMacroEvents(id, events), 0);
    MacroRecord macro;
    EXPECT_TRUE(store.GetMacro(id, macro));
}

TEST_F(StoreTest, DeleteMacroRemovesHeaderAndEventsButNotButtons) {
    const int id = store.CreateMacro(u"M");
    const int kept = store.CreateMacro(u"Kept");
    store.AddMacroEvents({Event(id, 0, 1), Event(id, 1, 2), Event(kept, 0, 3)});
    KeyRecord button;
    button.profile = 1;
    button.key_code = 4;
    button.macro_type = 9;
    button.macro_value = id;
    ASSERT_GT(store.SaveKey(button), 0);

    EXPECT_TRUE(store.DeleteMacro(id));
    MacroRecord macro;
    EXPECT_FALSE(store.GetMacro(id, macro));
    EXPECT_EQ(Query(File(), "SELECT macro_id FROM t_macrorecord"), Rows{{std::to_string(kept)}});
    EXPECT_TRUE(store.GetKey(1, 4, button));
    EXPECT_TRUE(store.DeleteMacro(12345));  // nothing to delete is success
}

TEST_F(StoreTest, DeleteMacroKeepsEventsWhenTheHeaderDeleteFails) {
    const int id = store.CreateMacro(u"M");
    store.AddMacroEvents({Event(id, 0, 1)});
    ASSERT_TRUE(testing::ExecuteOn(File(), "DROP TABLE t_macro_data"));
    EXPECT_FALSE(store.DeleteMacro(id));
    std::vector<MacroEventRecord> events;
    EXPECT_EQ(store.ListMacroEvents(id, events), 1);
}

}  // namespace
}  // namespace quillora
