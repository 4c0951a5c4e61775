// Files an import must refuse without touching the store, and awkward files it must
// read as the engine decodes them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "ExchangeTestSupport.h"
#include "app/Utf8.h"
#include "exchange/ExchangeDocument.h"
#include "exchange/MacroFile.h"
#include "exchange/ProfileFile.h"

namespace quillora {
namespace {

using testing::Document;
using testing::ExchangeTest;
using testing::Snapshot;

struct ImportKind {
    const char* name;
    std::function<bool(DataStore&, const std::string&)> run;  // answers "applied"
};

const ImportKind kImports[] = {
    {"profile",
     [](DataStore& s, const std::string& f) { return ImportProfile(s, 2, f, true).applied; }},
    {"macro", [](DataStore& s, const std::string& f) { return ImportMacro(s, f).applied; }},
    {"collection",
     [](DataStore& s, const std::string& f) { return ImportMacroCollection(s, f).applied; }},
};

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

class HostileFileTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        const int id = store.CreateMacro(u"Existing");
        store.ReplaceMacroEvents(id, {MacroEventRecord{0, id, 2, 0, 65, 1, u"A"}});
        store.SaveKey(KeyRecord{0, 2, 0, 1, 0, u"", 1, 1, 0, 0, u"left"});
    }

    // Every kind of import of `path` is refused and leaves the store as it was.
    void ExpectRefusedByEveryImport(const std::string& path) {
        for (const ImportKind& kind : kImports) {
            SCOPED_TRACE(kind.name);
            const auto before = Snapshot(store);
            EXPECT_FALSE(kind.run(store, path));
            EXPECT_EQ(Snapshot(store), before);
        }
    }
};

TEST_F(HostileFileTest, UnusableFilesChangeNothing) {
    const std::string profile = ExpectedBytes("profile.xml");
    const std::string collection = ExpectedBytes("macro_collection.xml");
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"empty", ""},
        {"declaration only", Document({})},
        {"blanks", "   \r\n\t"},
        {"other root", Document({"<config>", "<item/>", "</config>"})},
        {"roots differ in case", Document({"<PROFILE/>"}) + Document({"<Macro/>"})},
        {"two roots", Document({"<profile/>", "<macro/>"})},
        {"lone end tag", Document({"<macro>", "</profile>", "</macro>"})},
        {"unended element", Document({"<macro>", "<macro_item>", "</macro>"})},
        {"profile cut short", profile.substr(0, profile.size() / 2)},
        {"collection cut short", collection.substr(0, collection.size() - 12)},
        {"bad markup", Document({"<macro>", "<!x>", "</macro>"})},
        {"utf-16 cut in half", Utf16(u"<macro><macro_item/></mac", false)},
        {"binary", std::string("\x00\xFF\xFE\x01<\x80\x81", 7)},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        ExpectRefusedByEveryImport(Write("bad.xml", file.bytes));
    }
}

TEST_F(HostileFileTest, PathsThatAreNoReadableFileChangeNothing) {
    ExpectRefusedByEveryImport(Output("missing.xml"));
    std::filesystem::create_directory(Output("folder.xml"));
    ExpectRefusedByEveryImport(Output("folder.xml"));
    // A FIFO would block the read until someone writes to it.
    ASSERT_EQ(::mkfifo(Output("pipe.xml").c_str(), 0600), 0);
    ExpectRefusedByEveryImport(Output("pipe.xml"));
}

TEST_F(HostileFileTest, FilesPastTheSizeBoundAreNotRead) {
    // Valid documents padded with zero bytes, which a load would drop: only the size
    // keeps them out.
    const struct {
        const char* file;
        const ImportKind& kind;
    } cases[] = {{"profile.xml", kImports[0]},
                 {"macro.xml", kImports[1]},
                 {"macro_collection.xml", kImports[2]}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = Write("big.xml", ExpectedBytes(c.file));
        std::filesystem::resize_file(path, kMaxExchangeFileBytes + 1);
        ExpectRefusedByEveryImport(path);
        std::filesystem::resize_file(path, kMaxExchangeFileBytes);
        EXPECT_TRUE(c.kind.run(store, path));
    }
}

TEST_F(HostileFileTest, LargeMacroWithinTheBoundImportsWhole) {
    std::string text = Document({"<macro>", R"(<macroinfo macro_name="long"/>)", "<macroitems>"});
    constexpr int kEvents = 20000;
    for (int i = 0; i < kEvents; ++i) {
        text +=
            "<item desc=\"e\" index=\"" + std::to_string(i) + "\" type=\"2\" value=\"65\"/>\r\n";
    }
    text += "</macroitems>\r\n</macro>\r\n";
    const auto result = ImportMacro(store, Write("long.xml", text));
    ASSERT_EQ(result.macros.size(), 1u);
    EXPECT_EQ(result.macros[0].records, kEvents);
    EXPECT_FALSE(result.macros[0].FitsMacroStream());
    std::vector<MacroEventRecord> events;
    EXPECT_EQ(store.ListMacroEvents(result.macros[0].macro_id, events), kEvents);
    EXPECT_EQ(events.back().record_index, kEvents - 1);
}

TEST_F(HostileFileTest, Utf16FilesWithAMarkImportLikeTheirUtf8Original) {
    const std::string original = ExpectedBytes("macro.xml");
    const std::u16string text = FromUtf8(original);
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        const auto result = ImportMacro(store, Write("u16.xml", Utf16(text, bigEndian)));
        ASSERT_EQ(result.macros.size(), 1u);
        EXPECT_EQ(result.macros[0].name, u"Custom 1");
        std::vector<MacroEventRecord> events;
        ASSERT_EQ(store.ListMacroEvents(result.macros[0].macro_id, events), 3);
        EXPECT_EQ(events[0].desc, u"\u2193  A");
    }
    // A lone surrogate unit cannot be stored as UTF-8 and arrives as U+FFFD.
    const std::u16string loneText =
        u"<macro><macroinfo macro_name=\"a\xD800"
        u"b\"/></macro>";
    const auto lone = ImportMacro(store, Write("lone.xml", Utf16(loneText, false)));
    ASSERT_EQ(lone.macros.size(), 1u);
    MacroRecord header;
    ASSERT_TRUE(store.GetMacro(lone.macros[0].macro_id, header));
    EXPECT_EQ(header.name, u"a\uFFFDb");
    EXPECT_EQ(lone.macros[0].name, header.name);  // what the macro list will show
}

TEST_F(HostileFileTest, IllFormedTextReachesTheStoreAsReplacementCharacters) {
    const auto result = ImportMacroCollection(
        store, Write("bad-utf8.xml", Document({
                                         "<macro>",
                                         "<macro_item macro_name=\"a\xC3\x28z\" play_times=\"2\">",
                                         "<record_item>",
                                         R"(<item desc="&#xD800;&#65;&bogus;" value="3"/>)",
                                         "</record_item>",
                                         "</macro_item>",
                                         "</macro>",
                                     })));
    ASSERT_EQ(result.macros.size(), 1u);
    MacroRecord header;
    ASSERT_TRUE(store.GetMacro(result.macros[0].macro_id, header));
    EXPECT_EQ(header.name, u"a\uFFFD(z");
    EXPECT_EQ(header.play_times, 2);
    std::vector<MacroEventRecord> events;
    ASSERT_EQ(store.ListMacroEvents(result.macros[0].macro_id, events), 1);
    // References to a surrogate or to an unknown entity stay as written.
    EXPECT_EQ(events[0].desc, u"&#xD800;A&bogus;");
}

TEST_F(HostileFileTest, ProfileWithoutProfileInfoIsReadAtTheRootLevel) {
    // The cursor stays under the root when profileinfo is missing, so the sections are
    // looked for there; the name still comes from the file.
    const auto result = ImportProfile(store, 2,
                                      Write("Flat.xml", Document({
                                                            "<profile>",
                                                            "<keyitems/>",
                                                            "<Mouse>",
                                                            R"(<sensor_flag value="9"/>)",
                                                            "</Mouse>",
                                                            "</profile>",
                                                        })),
                                      true);
    ASSERT_TRUE(result.applied);
    EXPECT_EQ(result.name, u"Flat");
    EXPECT_EQ(Setting(2, "sensor_flag"), u"9");
}

TEST_F(HostileFileTest, AStoreWithoutDatabaseRefusesEveryWriteQuietly) {
    DataStore closed;
    EXPECT_TRUE(ImportProfile(closed, 1, Expected("profile.xml"), true).applied);
    EXPECT_TRUE(ImportMacro(closed, Expected("macro.xml")).macros.empty());
    EXPECT_TRUE(ImportMacroCollection(closed, Expected("macro_collection.xml")).macros.empty());
}

}  // namespace
}  // namespace quillora
