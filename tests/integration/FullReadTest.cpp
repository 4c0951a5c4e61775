// The full read: what the mouse reports goes into the current profile exactly, once
// per model and run, and profiles and lighting rows exist before it stores anything.

#include <gtest/gtest.h>

#include "device/DeviceDiscovery.h"
#include "integration/EngineFixture.h"
#include "protocol/ConfigRead.h"
#include "protocol/DefaultLights.h"
#include "protocol/DiscoveryTasks.h"

namespace quillora::testing {
namespace {

class FullRead : public EngineTest<ManualClock> {
  protected:
    // A mouse whose settings differ from every description default.
    static sim::MouseSettings Reported() {
        sim::MouseSettings s = MouseWithCode("QH01");
        s.sensor = 25;
        s.rate_capability = 0x20;
        s.battery_a = 64;
        s.battery_b = 1;
        s.report_rate = 3;
        s.dpi_selection = 0x25;                       // level 2 of 5
        const int codes[6] = {4, 8, 16, 32, 161, 0};  // 161: (161 - 144) x 1000
        for (int i = 0; i < 6; ++i) {
            s.dpi_levels[4 * i] = static_cast<std::uint8_t>(codes[i]);
            s.dpi_levels[4 * i + 2] = static_cast<std::uint8_t>(codes[i]);
        }
        for (int i = 0; i < 18; ++i) {
            s.dpi_colors[i] = static_cast<std::uint8_t>(0x10 + i);
        }
        s.light_mode = 3;
        s.light_parameter = 0x21;  // brightness 2, speed 1
        s.liftoff_height = 2;
        s.sensor_switches = {1, 1};
        s.power = {20, 0, 1, 8};
        return s;
    }

    void Discover() {
        FillSupportedDevices(context, 101);
        RunStartupDiscovery(context, hooks);
    }

    DiscoveryHooks hooks;
};

TEST_F(FullRead, StoresExactlyWhatTheMouseReports) {
    auto mouse = std::make_shared<sim::SimMouse>(Reported());
    bus.PlugCable(mouse, kProCable);
    int firmwareChecks = 0;
    hooks.checkFirmwareVersion = [&] { ++firmwareChecks; };

    Discover();

    const struct {
        const char* key;
        int value;
    } expected[] = {
        {"report_rate", 3},
        {"report_rate_wireless", 3},
        {"dpi_flag", 5},
        {"dpi_count", 5},
        {"dpi_index", 2},
        {"dpi_group0_value", 400},
        {"dpi_group1_value", 800},
        {"dpi_group2_value", 1600},
        {"dpi_group3_value", 3200},
        {"dpi_group4_value", 17000},
        // Code 0 decodes to 0 DPI and is not stored: the description default stays.
        {"dpi_group5_value", 12000},
        {"dpi_group0_rgb", 0x10 + 0x11 * 256 + 0x12 * 65536},
        {"dpi_group5_rgb", 0x1F + 0x20 * 256 + 0x21 * 65536},
        {"liftoff_height", 2},
        {"sensor_flag", 12},
        {"sleep_light", 20},
        {"move_wakeup", 0},
        {"move_closelight", 1},
        {"button_respondtime", 8},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(IntSetting(e.key), e.value) << e.key;
    }
    const int profile = session.Snapshot().currentProfile;
    EXPECT_EQ(store.GetActiveLightMode(profile), 3);
    LightRecord light;
    ASSERT_TRUE(store.GetLight(profile, 3, light));
    EXPECT_EQ(light.brightness, 2);
    EXPECT_EQ(light.speed, 1);

    const DeviceState state = session.Snapshot();
    EXPECT_EQ(state.sensorCode, 25);
    EXPECT_EQ(state.dpiMaximum, 30000);
    EXPECT_EQ(state.reportRateCapability, 6);
    EXPECT_EQ(state.currentLightMode, 3);
    EXPECT_TRUE(view.Has("ConfigureDpiSlider 174 0 100 30000"));
    // The placeholder first, then the record's values: indicator (B, A), tile (A, B).
    EXPECT_TRUE(view.Has("SetBattery 0 100"));
    EXPECT_TRUE(view.Has("SetBattery 1 64"));
    EXPECT_TRUE(view.Has("SetTileBattery 101 64 1"));
    EXPECT_EQ(firmwareChecks, 1);
}

TEST_F(FullRead, AFreshDatabaseGetsFourProfilesWithTheModelsDefaults) {
    bus.PlugCable(NewMouse(), kProCable);

    Discover();

    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(store.ListProfiles(profiles), 4);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(profiles[k - 1].name, u"Profile " + FromUtf8(std::to_string(k)));
        EXPECT_EQ(profiles[k - 1].status, k == 1 ? 1 : 0);
        // Six lighting modes offered by the description; mode 1 active before the read.
        EXPECT_EQ(store.CountLights(k), 6);
    }
    EXPECT_EQ(session.Snapshot().currentProfile, 1);
    // Profile 2 was never read: it holds the description's defaults.
    std::u16string value;
    store.GetSetting(2, "dpi_group5_value", value);
    EXPECT_EQ(value, u"12000");
    EXPECT_EQ(store.GetActiveLightMode(2), 1);
}

TEST_F(FullRead, DefaultLightingRowsFollowTheOfferedModes) {
    std::array<bool, 6> offered{};
    offered[0] = true;  // light_1
    offered[5] = true;  // light_6 (off)
    CreateFolder(dir.Path() + "db");
    ASSERT_TRUE(store.OpenDatabase(dir.Path(), u"lights"));
    ProfileRecord p;
    p.name = u"P";
    const int profile = store.AddProfile(p);

    ASSERT_TRUE(EnsureDefaultLights(store, profile, offered));
    EXPECT_FALSE(EnsureDefaultLights(store, profile, offered));  // rows exist already

    std::vector<LightRecord> rows;
    ASSERT_EQ(store.ListLights(profile, rows), 2);
    EXPECT_EQ(rows[0].mode, 1);
    EXPECT_EQ(rows[0].config_func, 3);
    EXPECT_EQ(rows[0].reserved, 280);
    EXPECT_EQ(rows[0].status, 1);
    EXPECT_EQ(rows[1].mode, 0);
    EXPECT_EQ(rows[1].reserved, 285);
    EXPECT_EQ(rows[1].status, 0);
    EXPECT_EQ(rows[1].color_value4, 0 + 255 * 256 + 255 * 65536);
}

TEST_F(FullRead, QueriedOncePerRunAndAgainAfterTheReadSetIsCleared) {
    auto mouse = std::make_shared<sim::SimMouse>(Reported());
    bus.PlugCable(mouse, kProCable);
    Discover();
    ASSERT_EQ(IntSetting("report_rate"), 3);

    sim::MouseSettings changed = mouse->Settings();
    changed.report_rate = 4;
    mouse->SetSettings(changed);
    bus.ClearWritten();
    EXPECT_TRUE(ReadDeviceConfig(context));
    EXPECT_EQ(IntSetting("report_rate"), 3);
    EXPECT_TRUE(bus.Written(1).empty());  // the record is the one kept from discovery

    session.Update([](DeviceState& s) { s.devicesRead.clear(); });
    EXPECT_TRUE(ReadDeviceConfig(context));
    EXPECT_EQ(IntSetting("report_rate"), 4);
}

TEST_F(FullRead, AReceiverWhoseMouseIsOffReadsNothing) {
    const sim::UnitId receiver = bus.PlugReceiver(NewMouse(), kProReceiver, false);
    Discover();

    // Only the identification queries went out, and the refresh after the failed
    // read marked the receiver's tile.
    for (const sim::WrittenReport& r : bus.Written(receiver)) {
        EXPECT_EQ(r.bytes[1], 0x10);
    }
    EXPECT_TRUE(session.Snapshot().devicesRead.empty());
    EXPECT_EQ(session.Snapshot().connectionFlag, 0);
    EXPECT_TRUE(view.Has("CloseTransientWindows"));
    EXPECT_TRUE(view.Has("SetTileState 101 1 1"));
    EXPECT_EQ(IntSetting("report_rate"), 1);  // the description's default
}

}  // namespace
}  // namespace quillora::testing
