// Tasks 5, 18 and 20 against the simulated mouse: the whole profile in its order, and
// the two resets from the model's description defaults.

#include "FrameExpect.h"
#include "WriteTaskFixture.h"

namespace quillora::write_test {
namespace {

using testing_support::FrameIs;

// The description's DPI defaults as stored: levels and colours (#RRGGBB as 0x00BBGGRR).
const std::vector<std::pair<std::string, std::u16string>> kDescriptionDpi = {
    {"dpi_index", u"2"},
    {"dpi_flag", u"4"},
    {"dpi_count", u"4"},
    {"dpi_group0_value", u"500"},
    {"dpi_group1_value", u"1000"},
    {"dpi_group2_value", u"2000"},
    {"dpi_group3_value", u"4000"},
    {"dpi_group4_value", u"8000"},
    {"dpi_group5_value", u"16000"},
    {"dpi_group0_rgb", u"255"},
    {"dpi_group1_rgb", u"65280"},
    {"dpi_group2_rgb", u"16711680"},
    {"dpi_group3_rgb", u"65535"},
    {"dpi_group4_rgb", u"16711935"},
    {"dpi_group5_rgb", u"16776960"},
};
const std::vector<std::pair<std::string, std::u16string>> kDescriptionOthers = {
    {"report_rate", u"4"},
    {"sleep_light", u"60"},
    {"move_wakeup", u"0"},
    {"move_closelight", u"0"},
};

// Sensor 25's codes of the description's levels, and its colours, as sent.
constexpr const char* kDefaultLevelsFrame =
    "00 03 00 01 25 24 05 00 05 00 0A 00 0A 00 14 00 14 00 28 00 28 00 50 00 50 00 A0 00 A0 00";
constexpr std::uint8_t kDefaultLevelsChecksum = 0x9A;
constexpr const char* kDefaultColorsFrame =
    "00 04 00 01 12 FF 00 00 00 FF 00 00 00 FF FF FF 00 FF 00 FF 00 FF FF";
constexpr std::uint8_t kDefaultColorsChecksum = 0xF7;

void ScrambleSettings(DataStore& store, int profile) {
    for (const auto& [key, value] : kDescriptionDpi) {
        ASSERT_TRUE(store.SetSetting(profile, key, u"1"));
    }
    for (const auto& [key, value] : kDescriptionOthers) {
        ASSERT_TRUE(store.SetSetting(profile, key, u"8"));
    }
}

class WriteAllTest : public WriteTaskTest {
  protected:
    // A profile whose every write is distinguishable from the mouse's factory state.
    void StoreProfile() {
        Set("dpi_index", 1);
        Set("dpi_count", 3);
        Set("dpi_group0_value", 800);
        Set("dpi_group0_rgb", 0x123456);
        Set("report_rate", 8);
        Set("liftoff_height", 2);
        Set("sensor_flag", 8);
        Set("sleep_light", 20);
        Set("move_wakeup", 0);
        Set("move_closelight", 1);
        Set("button_respondtime", 6);
        SaveKey(1, 5, 1);
    }
};

TEST_F(WriteAllTest, SendsTheWholeProfileInOrder) {
    StoreProfile();
    AddLight(1, 4, 2);
    AddLight(3, 2, 1, {0xFF0000});
    ASSERT_TRUE(store.SetActiveLightMode(1, 3));
    // The mode the previous profile left current; the new profile's active mode wins.
    session.Update([](DeviceState& s) {
        s.currentLightMode = 1;
        s.macroPending = true;
        s.pendingMacroKey = 1;
    });
    const StoreContents before = Contents();

    ASSERT_TRUE(WriteAllSettings(context));

    EXPECT_EQ(view.Calls(), std::vector<std::string>{"RefreshPages 26"});
    EXPECT_EQ(Commands(), (std::vector<int>{0x09, 0x05, 0x03, 0x04, 0x02, 0x06, 0x07}));
    std::vector<std::size_t> sizes;
    for (const auto& bytes : Written()) {
        sizes.push_back(bytes.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{33, 65, 33, 65, 65, 65, 65}));
    EXPECT_TRUE(FrameIs(AsFrame(Written()[1]), "00 05 00 01 05 03 21 00 00 FF", 0x23));

    const sim::MouseSettings held = Mouse();
    EXPECT_EQ(held.button_table[3], 0x40);
    EXPECT_EQ(held.button_table[4], 0x02);
    EXPECT_EQ(held.light_mode, 3);
    EXPECT_EQ(held.dpi_selection, 0x13);
    EXPECT_EQ(ToHex(held.dpi_colors.data(), 3), "56 34 12");
    EXPECT_EQ(held.report_rate, 8);
    EXPECT_EQ(held.liftoff_height, 2);
    EXPECT_EQ(held.sensor_switches, (std::array<std::uint8_t, 2>{1, 0}));
    EXPECT_EQ(held.power, (std::array<std::uint8_t, 4>{20, 0, 1, 6}));
    EXPECT_EQ(session.Snapshot().currentLightMode, 3);
    EXPECT_EQ(Contents(), before);
    // No macro data: the binding stays for the next button write.
    EXPECT_TRUE(session.Snapshot().macroPending);
    EXPECT_EQ(session.Snapshot().pendingMacroKey, 1);
}

TEST_F(WriteAllTest, LightingIsSkippedWhenTheModelHasNoneOrNoRowForTheMode) {
    struct Case {
        const char* name;
        bool lighting;
        bool row;
        const char* refresh;
    };
    const Case cases[] = {
        {"model without lighting", false, true, "RefreshPages 10"},
        {"no row for the active mode", true, false, "RefreshPages 26"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(Link::Cable, c.lighting);
        StoreProfile();
        if (c.row) {
            AddLight(1, 4, 2);
            ASSERT_TRUE(store.SetActiveLightMode(1, 1));
        }
        ASSERT_TRUE(WriteAllSettings(context));
        EXPECT_EQ(view.Calls(), std::vector<std::string>{c.refresh});
        EXPECT_EQ(Commands(), (std::vector<int>{0x09, 0x03, 0x04, 0x02, 0x06, 0x07}));
    }
}

TEST_F(WriteAllTest, FailingWritesDoNotStopTheSequence) {
    for (Link kind : {Link::Cable, Link::Receiver}) {
        SCOPED_TRACE(LinkName(kind));
        Open(kind, true);
        StoreProfile();
        AddLight(1, 4, 2);
        ASSERT_TRUE(store.SetActiveLightMode(1, 1));
        session.Update([](DeviceState& s) { s.currentLightMode = 1; });
        bus.SetFaults(unit, {.drop = 2});
        const StoreContents before = Contents();

        EXPECT_FALSE(WriteAllSettings(context));

        EXPECT_EQ(Commands(), (std::vector<int>{0x09, 0x05, 0x03, 0x04, 0x02, 0x06, 0x07}));
        EXPECT_EQ(Contents(), before);
        EXPECT_EQ(view.Has("CloseTransientWindows"), kind == Link::Receiver);
        // What was acknowledged after the failures is on the mouse.
        EXPECT_EQ(Mouse().power, (std::array<std::uint8_t, 4>{20, 0, 1, 6}));
    }
}

TEST_F(WriteTaskTest, DpiResetStoresShowsAndSendsTheDescriptionDefaults) {
    ScrambleSettings(store, 1);
    const std::u16string rate = Get(1, "report_rate");

    ASSERT_TRUE(ResetDpiToDefaults(context));

    for (const auto& [key, value] : kDescriptionDpi) {
        EXPECT_EQ(Get(1, key), value) << key;
    }
    // Only the DPI part: the report rate stays.
    EXPECT_EQ(Get(1, "report_rate"), rate);
    // Sensor 25: 2000 DPI is slider position 20.
    EXPECT_EQ(view.Calls(), (std::vector<std::string>{"RefreshPages 8", "ShowDpiLevelCount 4",
                                                      "SelectDpiLevel 2 20"}));
    EXPECT_EQ(session.Snapshot().shownDpiCount, 4);
    EXPECT_EQ(session.Snapshot().shownDpiIndex, 2);
    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_TRUE(FrameIs(AsFrame(wire[0]), kDefaultLevelsFrame, kDefaultLevelsChecksum));
    EXPECT_TRUE(FrameIs(AsFrame(wire[1]), kDefaultColorsFrame, kDefaultColorsChecksum));
    EXPECT_EQ(Mouse().dpi_selection, 0x24);
    EXPECT_EQ(ToHex(Mouse().dpi_colors.data(), 18),
              "FF 00 00 00 FF 00 00 00 FF FF FF 00 FF 00 FF 00 FF FF");
    // The other profiles are not touched.
    EXPECT_EQ(Get(2, "dpi_group0_value"), u"800");
}

TEST_F(WriteTaskTest, DpiResetSelectsTheFirstLevelWhenTheDefaultIsNotShown) {
    std::string xml = kDescriptionTemplate;
    xml.replace(xml.find("@LIGHT@"), 7, "1");
    xml.replace(xml.find("default_dpi=\"2\" dpi_count=\"4\""), 29,
                "default_dpi=\"3\" dpi_count=\"3\"");
    TempDir::WriteFile(dir / "app/device/sim_model.xml", xml);

    ASSERT_TRUE(ResetDpiToDefaults(context));

    EXPECT_EQ(Get(1, "dpi_index"), u"3");
    EXPECT_EQ(view.Calls(), (std::vector<std::string>{"RefreshPages 8", "ShowDpiLevelCount 3",
                                                      "SelectDpiLevel 0 5"}));
    ASSERT_EQ(Written().size(), 2u);
    EXPECT_EQ(Written()[0][5], 0x33);
}

TEST_F(WriteTaskTest, FailedDpiResetKeepsTheDefaultsStoredAndTriesBothFrames) {
    Open(Link::Receiver, true);
    bus.SetFaults(unit, {.refuse = 2});
    EXPECT_FALSE(ResetDpiToDefaults(context));
    EXPECT_EQ(Get(1, "dpi_group0_value"), u"500");
    EXPECT_EQ(Commands(), (std::vector<int>{0x03, 0x04}));
    EXPECT_TRUE(view.Has("CloseTransientWindows"));
}

class RestoreDefaultsTest : public WriteTaskTest {
  protected:
    void Prepare(Link kind, bool lighting) {
        Open(kind, lighting);
        for (int profile = 1; profile <= 4; ++profile) {
            ScrambleSettings(store, profile);
            SaveKey(1, 5, 1, 0, profile);
        }
        SaveKey(2, 9, 1, 0, 5);
        Set(2, "liftoff_height", 2);
        ASSERT_TRUE(store.SetActiveProfile(3));
        session.Update([](DeviceState& s) {
            s.currentProfile = 3;
            s.devicesRead = {kModel, 9};
        });
        sim::MouseSettings changed = Mouse();
        changed.report_rate = 2;
        changed.button_table[0] = 0x60;
        mouse->SetSettings(changed);
    }

    void ExpectRestored() {
        for (int profile = 1; profile <= 4; ++profile) {
            SCOPED_TRACE("profile " + std::to_string(profile));
            for (const auto* list : {&kDescriptionDpi, &kDescriptionOthers}) {
                for (const auto& [key, value] : *list) {
                    EXPECT_EQ(Get(profile, key), value) << key;
                }
            }
        }
        for (int profile = 1; profile <= 5; ++profile) {
            std::vector<KeyRecord> keys;
            EXPECT_EQ(store.ListKeys(profile, keys), 0) << "profile " << profile;
        }
        // Settings the description does not give stay as they were.
        EXPECT_EQ(Get(2, "liftoff_height"), u"2");
        EXPECT_EQ(session.Snapshot().currentProfile, 1);
        EXPECT_EQ(store.GetActiveProfile(), 1);
        EXPECT_TRUE(session.Snapshot().devicesRead.empty());
    }
};

TEST_F(RestoreDefaultsTest, MouseRestoresAndEveryProfileTakesTheDescriptionDefaults) {
    for (bool lighting : {true, false}) {
        SCOPED_TRACE(lighting ? "with lighting" : "without lighting");
        Prepare(Link::Cable, lighting);
        std::vector<int> sentWhenPrepared;
        std::u16string rateWhenPrepared;
        WriteTaskHooks hooks;
        hooks.prepareProfiles = [&] {
            sentWhenPrepared = Commands();
            rateWhenPrepared = Get(1, "report_rate");
        };

        ASSERT_TRUE(RestoreDefaultsTask(context, hooks));

        const Wire wire = Written();
        ASSERT_EQ(wire.size(), 1u);
        EXPECT_EQ(wire[0].size(), 33u);
        EXPECT_TRUE(FrameIs(AsFrame(wire[0]), "00 0F 00 01 01 FF", 0xFF));
        EXPECT_EQ(Mouse(), sim::FactorySettings(Mouse()));
        // The profiles are prepared after the mouse's restore and before the defaults.
        EXPECT_EQ(sentWhenPrepared, std::vector<int>{0x0F});
        EXPECT_EQ(rateWhenPrepared, u"8");
        ExpectRestored();
        // Profiles, lighting, keys and macros; then DPI and lighting once more.
        const std::vector<std::string> refreshes =
            lighting ? std::vector<std::string>{"RefreshPages 23", "RefreshPages 24"}
                     : std::vector<std::string>{"RefreshPages 7", "RefreshPages 8"};
        EXPECT_EQ(view.Calls(), refreshes);
    }
}

TEST_F(RestoreDefaultsTest, StoreIsResetEvenWhenTheMouseDoesNotAnswer) {
    for (Link kind : {Link::Cable, Link::Receiver}) {
        SCOPED_TRACE(LinkName(kind));
        Prepare(kind, true);
        bus.SetFaults(unit, {.refuse = 1});
        EXPECT_FALSE(RestoreDefaultsTask(context));
        ExpectRestored();
        // The restore's answer is not used, so no connection refresh either.
        EXPECT_FALSE(view.Has("CloseTransientWindows"));
    }
}

}  // namespace
}  // namespace quillora::write_test
