#include <gtest/gtest.h>

#include "ExchangeTestSupport.h"
#include "exchange/MacroFile.h"

namespace quillora {
namespace {

using testing::Document;
using testing::ExchangeTest;
using testing::Snapshot;
using testing::TempDir;

MacroEventRecord Event(int index, int type, int value, int stamp, std::u16string desc) {
    MacroEventRecord event;
    event.record_index = index;
    event.type = type;
    event.value = value;
    event.delay_time = stamp;
    event.desc = std::move(desc);
    return event;
}

// The events of a macro without their row numbers, for comparing two macros.
std::vector<MacroEventRecord> EventsOf(DataStore& store, int macroId) {
    std::vector<MacroEventRecord> events;
    store.ListMacroEvents(macroId, events);
    for (MacroEventRecord& event : events) {
        event.record_id = 0;
        event.macro_id = 0;
    }
    return events;
}

class MacroFileTest : public ExchangeTest {
  protected:
    // The macros of macro_collection.xml, in its order.
    void AddCollectionMacros() {
        const int combo = store.CreateMacro(MacroRecord{0, u"Combo <1>", 0, 1, 1, 0});
        store.ReplaceMacroEvents(
            combo, {Event(0, 4, 1, 7, u"\u2193  LB"), Event(1, 5, 1, 7, u"\u2191  LB")});
        store.CreateMacro(MacroRecord{0, u"Empty", 1, 3, 0, 0});
        const int third = store.CreateMacro(MacroRecord{0, u"\u81ea\u5b9a\u4e49 2", 2, 1, 2, 10});
        store.ReplaceMacroEvents(third, {Event(0, 1, 10, 9, u"10 ms")});
    }
};

TEST_F(MacroFileTest, SingleExportWritesTheListNameAndTheStoredRest) {
    const int id = store.CreateMacro(MacroRecord{0, u"\u81ea\u5b9a\u4e49 1", 2, 5, 2, 40});
    // Stored out of order: the file lists them by record_index.
    store.ReplaceMacroEvents(
        id, {Event(2, 3, 65, 1002, u"\u2191  A"), Event(0, 2, 65, 1001, u"\u2193  A"),
             Event(1, 1, 50, 1001, u"50 ms")});
    const std::string out = Output("out.xml");
    ASSERT_TRUE(ExportMacro(store, id, u"Custom 1", out));
    EXPECT_EQ(TempDir::ReadFile(out), ExpectedBytes("macro.xml"));
}

TEST_F(MacroFileTest, SingleExportOfAMacroWithoutEvents) {
    const int id = store.CreateMacro(u"M");
    const std::string out = Output("out.xml");
    ASSERT_TRUE(ExportMacro(store, id, u"M", out));
    EXPECT_EQ(TempDir::ReadFile(out),
              Document({"<macro>",
                        R"(<macroinfo macro_name="M" macro_type="0" play_times="1" )"
                        R"(delay_type="1" delay_time="0"/>)",
                        "<macroitems/>", "</macro>"}));
}

TEST_F(MacroFileTest, CollectionExportWritesEveryMacroInRowOrder) {
    AddCollectionMacros();
    const std::string out = Output("out.xml");
    ASSERT_TRUE(ExportMacroCollection(store, out));
    EXPECT_EQ(TempDir::ReadFile(out), ExpectedBytes("macro_collection.xml"));

    // A store without macros gives an empty root.
    DataStore empty;
    std::filesystem::create_directory(dir / "other");
    std::filesystem::create_directory(dir / "other/db");
    ASSERT_TRUE(empty.OpenDatabase(dir / "other", u"M2"));
    ASSERT_TRUE(ExportMacroCollection(empty, out));
    EXPECT_EQ(TempDir::ReadFile(out), Document({"<macro/>"}));
}

TEST_F(MacroFileTest, SingleImportCreatesANewMacroEachTime) {
    for (int round = 1; round <= 2; ++round) {
        const MacroImportResult result = ImportMacro(store, Expected("macro.xml"));
        ASSERT_TRUE(result.applied);
        ASSERT_EQ(result.macros.size(), 1u);
        EXPECT_EQ(result.macros[0].name, u"Custom 1");
        EXPECT_EQ(result.macros[0].records, 3);
        EXPECT_EQ(result.macros[0].streamEvents, 2);
        std::vector<MacroRecord> macros;
        ASSERT_EQ(store.ListMacros(macros), round);
        EXPECT_EQ(macros.back(),
                  (MacroRecord{result.macros[0].macro_id, u"Custom 1", 2, 5, 2, 40}));
    }
    std::vector<MacroRecord> macros;
    store.ListMacros(macros);
    EXPECT_EQ(EventsOf(store, macros[0].macro_id), EventsOf(store, macros[1].macro_id));
    EXPECT_EQ(EventsOf(store, macros[0].macro_id),
              (std::vector<MacroEventRecord>{Event(0, 2, 65, 1001, u"\u2193  A"),
                                             Event(1, 1, 50, 1001, u"50 ms"),
                                             Event(2, 3, 65, 1002, u"\u2191  A")}));
}

TEST_F(MacroFileTest, ImportedFilesExportAgainByteForByte) {
    const int id = ImportMacro(store, Expected("macro.xml")).macros.at(0).macro_id;
    const std::string out = Output("single.xml");
    ASSERT_TRUE(ExportMacro(store, id, u"Custom 1", out));
    EXPECT_EQ(TempDir::ReadFile(out), ExpectedBytes("macro.xml"));

    // Into a store without macros, so the collection holds exactly the imported ones.
    DataStore other;
    std::filesystem::create_directory(dir / "other");
    std::filesystem::create_directory(dir / "other/db");
    ASSERT_TRUE(other.OpenDatabase(dir / "other", u"M2"));
    const MacroImportResult result = ImportMacroCollection(other, Expected("macro_collection.xml"));
    ASSERT_EQ(result.macros.size(), 3u);
    ASSERT_TRUE(ExportMacroCollection(other, out));
    EXPECT_EQ(TempDir::ReadFile(out), ExpectedBytes("macro_collection.xml"));
}

TEST_F(MacroFileTest, CollectionImportMakesOneMacroPerItemBesideTheExistingOnes) {
    const int existing = store.CreateMacro(u"Empty");
    const MacroImportResult result = ImportMacroCollection(store, Expected("macro_collection.xml"));
    ASSERT_TRUE(result.applied);
    ASSERT_EQ(result.macros.size(), 3u);
    const struct {
        std::u16string name;
        int records;
        int streamEvents;
    } expected[] = {{u"Combo <1>", 2, 2}, {u"Empty", 0, 0}, {u"\u81ea\u5b9a\u4e49 2", 1, 0}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(result.macros[i].name, expected[i].name);
        EXPECT_EQ(result.macros[i].records, expected[i].records);
        EXPECT_EQ(result.macros[i].streamEvents, expected[i].streamEvents);
        EXPECT_NE(result.macros[i].macro_id, existing);
        EXPECT_EQ(EventsOf(store, result.macros[i].macro_id).size(),
                  static_cast<size_t>(expected[i].records));
    }
    MacroRecord header;
    ASSERT_TRUE(store.GetMacro(result.macros[1].macro_id, header));
    EXPECT_EQ(header, (MacroRecord{result.macros[1].macro_id, u"Empty", 1, 3, 0, 0}));
    std::vector<MacroRecord> macros;
    EXPECT_EQ(store.ListMacros(macros), 4);
}

TEST_F(MacroFileTest, EventIndexesAreKeptAsTheFileGivesThem) {
    const auto result = ImportMacro(store, Write("m.xml", Document({
                                                              "<macro>",
                                                              "<macroinfo/>",
                                                              "<macroitems>",
                                                              R"(<item index="5" value="50"/>)",
                                                              R"(<other index="1"/>)",
                                                              R"(<item index="2" value="20"/>)",
                                                              R"(<item index="9" value="90"/>)",
                                                              "</macroitems>",
                                                              "</macro>",
                                                          })));
    const auto events = EventsOf(store, result.macros.at(0).macro_id);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].record_index, 2);
    EXPECT_EQ(events[0].value, 20);
    EXPECT_EQ(events[1].record_index, 5);
    EXPECT_EQ(events[2].record_index, 9);
}

// Both layouts share the root; each import looks only for its own names.
TEST_F(MacroFileTest, EachImportReadsOnlyItsOwnLayout) {
    const MacroImportResult single = ImportMacro(store, Expected("macro_collection.xml"));
    ASSERT_TRUE(single.applied);
    ASSERT_EQ(single.macros.size(), 1u);
    MacroRecord header;
    ASSERT_TRUE(store.GetMacro(single.macros[0].macro_id, header));
    EXPECT_EQ(header, (MacroRecord{single.macros[0].macro_id, u"", 0, 0, 0, 0}));
    EXPECT_EQ(single.macros[0].records, 0);

    const auto before = Snapshot(store);
    const MacroImportResult collection = ImportMacroCollection(store, Expected("macro.xml"));
    EXPECT_TRUE(collection.applied);
    EXPECT_TRUE(collection.macros.empty());
    EXPECT_EQ(Snapshot(store), before);
}

TEST_F(MacroFileTest, ItemsOutsideTheirSectionAreNotEvents) {
    // macroitems before macroinfo lies behind it; a record_item item stays in its macro.
    const auto single = ImportMacro(store, Write("a.xml", Document({
                                                              "<macro>",
                                                              "<macroitems>",
                                                              R"(<item value="1"/>)",
                                                              "</macroitems>",
                                                              R"(<macroinfo macro_name="late"/>)",
                                                              "</macro>",
                                                          })));
    ASSERT_EQ(single.macros.size(), 1u);
    EXPECT_EQ(single.macros[0].name, u"late");
    EXPECT_EQ(single.macros[0].records, 0);

    const auto collection = ImportMacroCollection(
        store, Write("b.xml", Document({
                                  "<macro>",
                                  R"(<macro_item macro_name="one">)",
                                  R"(<item value="1"/>)",
                                  "<record_item>",
                                  R"(<item value="2"/>)",
                                  "</record_item>",
                                  R"(<record_item><item value="3"/></record_item>)",
                                  "</macro_item>",
                                  R"(<macro_item macro_name="two"/>)",
                                  "</macro>",
                              })));
    ASSERT_EQ(collection.macros.size(), 2u);
    const auto events = EventsOf(store, collection.macros[0].macro_id);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].value, 2);
    EXPECT_EQ(collection.macros[1].records, 0);
}

// What the button page needs to know before binding: key and mouse-button events beyond
// what one macro stream can count.
TEST_F(MacroFileTest, StreamEventCountDecidesWhetherTheMacroCanBeBound) {
    const struct {
        int inputEvents;
        int otherRecords;  // delays and wheel rows, which the stream folds away
        bool fits;
    } cases[] = {{0, 0, true}, {101, 100, true}, {102, 0, false}, {150, 150, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputEvents);
        std::string text = Document({"<macro>", "<macroinfo/>", "<macroitems>"});
        for (int i = 0; i < c.inputEvents + c.otherRecords; ++i) {
            const int type = i < c.inputEvents ? 2 + i % 4 : (i % 3 == 0 ? 6 + i % 2 : 1);
            text += "<item index=\"" + std::to_string(i) + "\" type=\"" + std::to_string(type) +
                    "\"/>\r\n";
        }
        text += "</macroitems>\r\n</macro>\r\n";
        const auto result = ImportMacro(store, Write("n.xml", text));
        ASSERT_EQ(result.macros.size(), 1u);
        EXPECT_EQ(result.macros[0].records, c.inputEvents + c.otherRecords);
        EXPECT_EQ(result.macros[0].streamEvents, c.inputEvents);
        EXPECT_EQ(result.macros[0].FitsMacroStream(), c.fits);
    }
}

}  // namespace
}  // namespace quillora
