#include <gtest/gtest.h>

#include "ExchangeTestSupport.h"
#include "exchange/ProfileFile.h"

namespace quillora {
namespace {

using testing::Document;
using testing::ExchangeTest;
using testing::Snapshot;
using testing::TempDir;

KeyRecord Key(int profile, int code, int type, int v1, int v2, int v3, std::u16string desc) {
    KeyRecord key;
    key.profile = profile;
    key.key_code = code;
    key.macro_type = type;
    key.macro_value = v1;
    key.macro_value2 = v2;
    key.macro_value3 = v3;
    key.macro_desc = std::move(desc);
    return key;
}

// Profile 1 as tests/data/exchange/profile.xml describes it.
class ProfileFileTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        store.SaveKey(Key(1, 3, 4, 1, 0, 0, u"Macro & <1>"));
        store.SaveKey(Key(1, 5, 1, 0, 16, 0, u"Ctrl+\"C\""));
        store.SaveKey(Key(1, 0, 7, 2, 3, 9, u"Fire 'x' \u2713"));
        LightRecord light;
        ASSERT_TRUE(store.GetLight(1, 1, light));
        light.brightness = 3, light.speed = 2, light.direction = 1, light.colorindex = 1;
        light.color_value1 = 255, light.color_value2 = 65280, light.color_value3 = 16711680;
        light.color_value7 = 16777215;
        store.UpdateLight(1, light);
        ASSERT_TRUE(store.GetLight(1, 2, light));
        light.brightness = 5, light.speed = 4, light.colorful = 1, light.colorindex = 7;
        light.color_value1 = 1, light.color_value2 = 2, light.color_value3 = 3;
        light.color_value4 = 4, light.color_value5 = 5, light.color_value6 = 6;
        light.color_value7 = 7;
        store.UpdateLight(2, light);
        store.SetActiveLightMode(1, 2);
        store.SetSetting(1, "dpi_group2_value", u"2450");
        store.SetSetting(1, "report_rate", u"3");
        store.SetSetting(1, "e-sports_flag", u"1");
    }

    // Imports `bytes`, written under `fileName`, into profile 2 of a lit mouse.
    ProfileImportResult ImportText(const std::string& bytes, bool lit = true,
                                   const std::string& fileName = "in.xml") {
        return ImportProfile(store, 2, Write(fileName, bytes), lit);
    }
};

TEST_F(ProfileFileTest, ExportWritesTheExpectedBytes) {
    const struct {
        bool lit;
        const char* expected;
    } cases[] = {{true, "profile.xml"}, {false, "profile_unlit.xml"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::string out = Output("out.xml");
        ASSERT_TRUE(ExportProfile(store, 1, u"Gaming & more", c.lit, out));
        EXPECT_EQ(TempDir::ReadFile(out), ExpectedBytes(c.expected));
    }
}

TEST_F(ProfileFileTest, AProfileWithoutRowsExportsEmptyValuesThatImportSkips) {
    const std::string out = Output("None.xml");
    ASSERT_TRUE(ExportProfile(store, 9, u"", true, out));
    EXPECT_EQ(TempDir::ReadFile(out), Document({
                                          "<profile>",
                                          R"(<profileinfo name="">)",
                                          "<keyitems/>",
                                          R"(<Lightitems lightmode="0"/>)",
                                          R"(<Mouse_DPI dpi_flag="" dpi_index="" dpi_count="">)",
                                          R"(<DPI1 value="" color=""/>)",
                                          R"(<DPI2 value="" color=""/>)",
                                          R"(<DPI3 value="" color=""/>)",
                                          R"(<DPI4 value="" color=""/>)",
                                          R"(<DPI5 value="" color=""/>)",
                                          R"(<DPI6 value="" color=""/>)",
                                          "</Mouse_DPI>",
                                          "<Mouse>",
                                          R"(<button_respondtime value=""/>)",
                                          R"(<report_rate value=""/>)",
                                          R"(<sensor_flag value=""/>)",
                                          R"(<liftoff_height value=""/>)",
                                          R"(<scroll_flag value=""/>)",
                                          R"(<e-sports_flag value=""/>)",
                                          R"(<sleep_light value=""/>)",
                                          R"(<move_wakeup value=""/>)",
                                          R"(<move_closelight value=""/>)",
                                          "</Mouse>",
                                          "</profileinfo>",
                                          "</profile>",
                                      }));
    const auto settings = Snapshot(store).settings;
    const ProfileImportResult result = ImportProfile(store, 2, out, true);
    EXPECT_EQ(result.skippedSettings.size(), 24u);
    EXPECT_EQ(Snapshot(store).settings, settings);
}

TEST_F(ProfileFileTest, ImportOfTheFileReproducesTheProfileByteForByte) {
    const ProfileImportResult result =
        ImportProfile(store, 2, Expected("profile.xml"), /*hasLighting=*/true);
    ASSERT_TRUE(result.applied);
    EXPECT_EQ(result.name, u"profile");
    EXPECT_TRUE(result.skippedSettings.empty());

    const std::string out = Output("again.xml");
    ASSERT_TRUE(ExportProfile(store, 2, u"Gaming & more", true, out));
    EXPECT_EQ(TempDir::ReadFile(out), ExpectedBytes("profile.xml"));

    std::u16string name;
    ASSERT_TRUE(store.GetProfileName(2, name));
    EXPECT_EQ(name, u"profile");
    // Import only rewrites parameters: the rows keep what the lighting page gave them.
    LightRecord light;
    ASSERT_TRUE(store.GetLight(2, 2, light));
    EXPECT_EQ(light.name, u"Breath");
    EXPECT_EQ(light.config_func, 22);
    EXPECT_EQ(light.reserved, 502);
    EXPECT_EQ(light.status, 1);
    EXPECT_EQ(store.GetActiveLightMode(2), 2);
}

TEST_F(ProfileFileTest, ExportThenImportIntoTheSameProfileKeepsIt) {
    const auto before = Snapshot(store);
    const std::string file = Output("Work.xml");
    ASSERT_TRUE(ExportProfile(store, 1, u"Profile 1", true, file));
    ASSERT_TRUE(ImportProfile(store, 1, file, true).applied);
    auto after = Snapshot(store);
    EXPECT_EQ(after.profiles[0].name, u"Work");
    after.profiles[0].name = before.profiles[0].name;
    // Keys are stored anew, so only their row numbers change.
    for (size_t i = 0; i < after.keys[0].size(); ++i) {
        after.keys[0][i].key_id = before.keys[0][i].key_id;
    }
    EXPECT_EQ(after, before);
}

TEST_F(ProfileFileTest, ImportClearsEveryAssignmentEvenWithoutKeyItems) {
    ASSERT_TRUE(ImportProfile(store, 2, Expected("profile.xml"), true).applied);
    std::vector<KeyRecord> keys;
    ASSERT_EQ(store.ListKeys(2, keys), 3);

    ASSERT_TRUE(ImportText(Document({"<profile>", "<profileinfo/>", "</profile>"})).applied);
    EXPECT_EQ(store.ListKeys(2, keys), 0);
    EXPECT_EQ(store.ListKeys(1, keys), 3);  // other profiles keep theirs
}

TEST_F(ProfileFileTest, KeyItemsAreParsedAsDecimalAndDefaultsStoreNothing) {
    ASSERT_TRUE(ImportText(Document({
                               "<profile>",
                               "<profileinfo>",
                               "<keyitems>",
                               R"(<item key_code="4" macro_value="x7" macro_value2="2"/>)",
                               R"(<item key_code="6" macro_type="3" macro_desc="none"/>)",
                               R"(<item key_code="4" macro_type="2" macro_value="9"/>)",
                               "</keyitems>",
                               "</profileinfo>",
                               "</profile>",
                           }))
                    .applied);
    std::vector<KeyRecord> keys;
    ASSERT_EQ(store.ListKeys(2, keys), 1);  // key 6 is a default; key 4 saved twice
    keys[0].key_id = 0;
    EXPECT_EQ(keys[0], Key(2, 4, 2, 9, 0, 0, u""));
}

TEST_F(ProfileFileTest, ProfileNameIsTheFileNameWithoutItsLastFourUnits) {
    const struct {
        std::u16string file;
        std::u16string name;
    } cases[] = {
        {u"Work.xml", u"Work"},
        {u"Work.XML", u"Work"},
        {u"a.b.xml", u"a.b"},
        {u"Work.txt", u"Work"},
        {u"Work", u""},
        {u".xml", u""},
        {u"abcde", u"a"},
        {u"\u914d\u7f6e 2.xml", u"\u914d\u7f6e 2"},
        {u"A\U0001F600.xml", u"A\U0001F600"},
        // The cut would split the pair: the whole character goes.
        {u"A\U0001F600xyz", u"A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileNameFromFileName(c.file), c.name);
    }
}

TEST_F(ProfileFileTest, TheNameInTheFileIsNotRead) {
    const auto result = ImportText(
        Document({"<profile>", R"(<profileinfo name="Ignored"/>)", "</profile>"}), true, "Aim.xml");
    ASSERT_TRUE(result.applied);
    EXPECT_EQ(result.name, u"Aim");
    std::u16string name;
    store.GetProfileName(2, name);
    EXPECT_EQ(name, u"Aim");
}

TEST_F(ProfileFileTest, ElementsAreSeenOnlyInTheOrderTheExportWritesThem) {
    const auto result = ImportText(Document({
        "<profile>",
        "<profileinfo>",
        R"(<Mouse_DPI dpi_flag="3" dpi_index="2" dpi_count="4">)",
        R"(<DPI2 value="1000" color="1"/>)",
        R"(<DPI1 value="900" color="2"/>)",
        "</Mouse_DPI>",
        "<keyitems>",
        R"(<item key_code="1" macro_value="1"/>)",
        "</keyitems>",
        "<Mouse>",
        R"(<report_rate value="1"/>)",
        R"(<button_respondtime value="4"/>)",
        R"(<sensor_flag value="7"/>)",
        "</Mouse>",
        "</profileinfo>",
        "</profile>",
    }));
    ASSERT_TRUE(result.applied);
    std::vector<KeyRecord> keys;
    EXPECT_EQ(store.ListKeys(2, keys), 1);     // keyitems is found first, from the start...
    EXPECT_EQ(Setting(2, "dpi_count"), u"6");  // ...so Mouse_DPI before it is passed over
    EXPECT_EQ(Setting(2, "dpi_group0_value"), u"800");
    EXPECT_EQ(Setting(2, "button_respondtime"), u"4");
    EXPECT_EQ(Setting(2, "report_rate"), u"2");  // lies before button_respondtime
    EXPECT_EQ(Setting(2, "sensor_flag"), u"7");
}

TEST_F(ProfileFileTest, DpiEntriesAfterOneAlreadyFoundAreTheOnlyOnesRead) {
    ASSERT_TRUE(ImportText(Document({
                               "<profile>",
                               "<profileinfo>",
                               R"(<Mouse_DPI dpi_flag="3" dpi_index="2" dpi_count="4">)",
                               R"(<DPI2 value="1000" color="1"/>)",
                               R"(<DPI1 value="900" color="2"/>)",
                               R"(<DPI3 value="1200" color="3"/>)",
                               "</Mouse_DPI>",
                               "</profileinfo>",
                               "</profile>",
                           }))
                    .applied);
    EXPECT_EQ(Setting(2, "dpi_flag"), u"3");
    EXPECT_EQ(Setting(2, "dpi_index"), u"2");
    EXPECT_EQ(Setting(2, "dpi_count"), u"4");
    // DPI1 is looked for first and found after DPI2, which is then passed over.
    EXPECT_EQ(Setting(2, "dpi_group0_value"), u"900");
    EXPECT_EQ(Setting(2, "dpi_group0_rgb"), u"2");
    EXPECT_EQ(Setting(2, "dpi_group1_value"), u"1600");
    EXPECT_EQ(Setting(2, "dpi_group1_rgb"), u"16711680");
    EXPECT_EQ(Setting(2, "dpi_group2_value"), u"1200");
}

TEST_F(ProfileFileTest, LightItemsUpdateOnlyRowsThatExist) {
    LightRecord light;
    ASSERT_TRUE(store.GetLight(2, 1, light));
    light.speed = 5, light.color_value3 = 99;
    store.UpdateLight(1, light);
    ASSERT_TRUE(ImportText(Document({
                               "<profile>",
                               "<profileinfo>",
                               R"(<Lightitems lightmode="2">)",
                               R"(<item light_mode="9" brightness="4"/>)",
                               R"(<item light_mode="1" brightness="4" color_value3="x"/>)",
                               "</Lightitems>",
                               "</profileinfo>",
                               "</profile>",
                           }))
                    .applied);
    std::vector<LightRecord> lights;
    ASSERT_EQ(store.ListLights(2, lights), 3);  // mode 9 made no row
    LightRecord expected = testing::Light(2, 1, u"Static", 21);
    expected.light_id = lights[1].light_id;
    expected.brightness = 4;  // speed and color_value3 are missing or not numbers: 0
    EXPECT_EQ(lights[1], expected);
    EXPECT_EQ(store.GetActiveLightMode(2), 2);
}

TEST_F(ProfileFileTest, WithoutLightingTheLightItemsAreIgnored) {
    const auto before = Snapshot(store).lights;
    ASSERT_TRUE(ImportProfile(store, 2, Expected("profile.xml"), /*hasLighting=*/false).applied);
    EXPECT_EQ(Snapshot(store).lights, before);
    EXPECT_EQ(Setting(2, "dpi_group2_value"), u"2450");  // what follows is still read
}

TEST_F(ProfileFileTest, MissingSectionsLeaveTheirSettingsAlone) {
    store.SetSetting(2, "dpi_group3_value", u"1234");
    store.SetSetting(2, "sleep_light", u"5");
    ASSERT_TRUE(ImportText(Document({"<profile>", "<profileinfo/>", "</profile>"})).applied);
    EXPECT_EQ(Setting(2, "dpi_group3_value"), u"1234");
    EXPECT_EQ(Setting(2, "sleep_light"), u"5");
    EXPECT_EQ(store.GetActiveLightMode(2), 1);
}

TEST_F(ProfileFileTest, UnsendableSettingTextsAreSkippedAndNamed) {
    const auto result = ImportText(Document({
        "<profile>",
        "<profileinfo>",
        R"(<Mouse_DPI dpi_flag="256" dpi_index="5" dpi_count="0">)",
        R"(<DPI1 value="65535" color="16777215"/>)",
        R"(<DPI2 value="65536" color="-1"/>)",
        R"(<DPI3 value="1.5e3" color=""/>)",
        R"(<DPI4 value=" 900" color="0x10"/>)",
        R"(<DPI5 color="7"/>)",
        "</Mouse_DPI>",
        "<Mouse>",
        R"(<button_respondtime value="255"/>)",
        R"(<report_rate value="abc"/>)",
        R"(<sensor_flag value="53"/>)",
        R"(<e-sports_flag value="+1"/>)",
        R"(<move_closelight value="99999999999999999999"/>)",
        "</Mouse>",
        "</profileinfo>",
        "</profile>",
    }));
    ASSERT_TRUE(result.applied);
    EXPECT_EQ(result.skippedSettings,
              (std::vector<std::string>{"dpi_flag", "dpi_count", "dpi_group1_value",
                                        "dpi_group1_rgb", "dpi_group2_value", "dpi_group2_rgb",
                                        "dpi_group3_value", "dpi_group3_rgb", "dpi_group4_value",
                                        "report_rate", "e-sports_flag", "move_closelight"}));
    EXPECT_EQ(Setting(2, "dpi_flag"), u"6");
    EXPECT_EQ(Setting(2, "dpi_index"), u"5");
    EXPECT_EQ(Setting(2, "dpi_count"), u"6");
    EXPECT_EQ(Setting(2, "dpi_group0_value"), u"65535");
    EXPECT_EQ(Setting(2, "dpi_group0_rgb"), u"16777215");
    EXPECT_EQ(Setting(2, "dpi_group1_value"), u"1600");
    EXPECT_EQ(Setting(2, "dpi_group4_rgb"), u"7");
    EXPECT_EQ(Setting(2, "button_respondtime"), u"255");
    EXPECT_EQ(Setting(2, "report_rate"), u"2");
    EXPECT_EQ(Setting(2, "move_closelight"), u"1");
}

}  // namespace
}  // namespace quillora
