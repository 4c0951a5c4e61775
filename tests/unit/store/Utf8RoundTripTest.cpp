// Every text column stores UTF-8 and reads back the same UTF-16 text.

#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::Query;
using testing::Rows;
using testing::StoreTest;

struct TextCase {
    const char* name;
    std::u16string wide;
    std::string utf8;
};

class Utf8StoreTest : public StoreTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(Utf8StoreTest, EveryTextColumnRoundTrips) {
    const std::u16string& text = GetParam().wide;
    const std::string& bytes = GetParam().utf8;

    ProfileRecord profile;
    profile.name = text;
    ASSERT_EQ(store.AddProfile(profile), 1);
    std::u16string read;
    ASSERT_TRUE(store.GetProfileName(1, read));
    EXPECT_EQ(read, text);

    ASSERT_TRUE(store.SetSetting(1, "version", text));
    ASSERT_TRUE(store.GetSetting(1, "version", read));
    EXPECT_EQ(read, text);

    KeyRecord key;
    key.profile = 1;
    key.macro_value = 1;
    key.layout_desc = text;
    key.macro_desc = text;
    ASSERT_GT(store.SaveKey(key), 0);
    ASSERT_TRUE(store.GetKey(1, 0, key));
    EXPECT_EQ(key.macro_desc, text);
    EXPECT_EQ(key.layout_desc, text);

    const int macro = store.CreateMacro(text);
    MacroEventRecord event;
    event.desc = text;
    ASSERT_TRUE(store.ReplaceMacroEvents(macro, {event}));
    std::vector<MacroEventRecord> events;
    ASSERT_EQ(store.ListMacroEvents(macro, events), 1);
    EXPECT_EQ(events[0].desc, text);
    std::vector<MacroRecord> macros;
    ASSERT_EQ(store.ListMacros(macros), 1);
    EXPECT_EQ(macros[0].name, text);

    LightRecord light;
    light.profile = 1;
    light.name = text;
    ASSERT_GT(store.AddLight(light), 0);
    ASSERT_TRUE(store.GetLight(1, 0, light));
    EXPECT_EQ(light.name, text);

    // On disk the bytes are UTF-8, not UTF-16.
    EXPECT_EQ(Query(File(),
                    "SELECT name FROM t_profile_data UNION ALL SELECT value FROM t_configdata "
                    "WHERE key = 'version' UNION ALL SELECT macro_desc FROM t_key_macro_data "
                    "UNION ALL SELECT name FROM t_macro_data UNION ALL SELECT desc FROM "
                    "t_macrorecord UNION ALL SELECT name FROM t_light_data"),
              Rows(6, {bytes}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8StoreTest,
    ::testing::Values(TextCase{"chinese", u"\u914d\u7f6e\u6587\u4ef6",
                               "\xE9\x85\x8D\xE7\xBD\xAE\xE6\x96\x87\xE4\xBB\xB6"},
                      TextCase{"cyrillic", u"\u041f\u0440\u043e\u0444\u0438\u043b\u044c",
                               "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x84\xD0\xB8\xD0\xBB\xD1\x8C"},
                      TextCase{"emoji", u"Fire \U0001F525\U0001F5B1",
                               "Fire \xF0\x9F\x94\xA5\xF0\x9F\x96\xB1"},
                      TextCase{"quotes", u"it's \"a\"; --", "it's \"a\"; --"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillora
