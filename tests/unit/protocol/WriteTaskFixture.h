#pragma once

// The write tasks against the simulated mouse: a cabled mouse or a receiver on a manual
// clock, discovered and selected as the engine would, a real profile database with four
// profiles in a temporary folder, the model's description file, and a recording view.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FrameExpect.h"
#include "app/SettingsRegistry.h"
#include "app/Utf8.h"
#include "device/Clock.h"
#include "device/DeviceContext.h"
#include "device/HidDeviceLink.h"
#include "formats/DeviceDescription.h"
#include "protocol/Sensor.h"
#include "protocol/WriteTasks.h"
#include "sim/SimBus.h"
#include "store/DataStore.h"
#include "store/DefaultSettings.h"
#include "support/RecordingMainView.h"
#include "support/TempDir.h"

namespace quillora::write_test {

using sim::SimBus;
using sim::SimMouse;
using sim::UnitId;
using testing::RecordingMainView;
using testing::TempDir;
using testing_support::Hex;
using testing_support::ToHex;

inline constexpr int kModel = 7;
// Where the bus lists the configuration collection, behind the plain mouse collection.
inline constexpr int kConfigCollection = 1;
inline const sim::UsbIdentity kCableId{0x3151, 0x4010, 0x0105, u"Sim Mouse"};
inline const sim::UsbIdentity kReceiverId{0x3151, 0x4011, 0x0102, u"Sim Receiver"};

// The model's defaults, different from the store's own so a test sees which were applied.
inline const char* kDescriptionTemplate = R"(<?xml version="1.0" encoding="UTF-8"?>
<mouse>
<menu light="@LIGHT@"/>
<mouse_info>
<dpi_info default_dpi="2" dpi_count="4">
<dpi_1 value="500" color="#FF0000"/>
<dpi_2 value="1000" color="#00FF00"/>
<dpi_3 value="2000" color="#0000FF"/>
<dpi_4 value="4000" color="#FFFF00"/>
<dpi_5 value="8000" color="#FF00FF"/>
<dpi_6 value="16000" color="#00FFFF"/>
</dpi_info>
<report_rate default_value="4"/>
<sleep_light value="60"/>
<move_wakeup value="0"/>
<move_closelight value="0"/>
</mouse_info>
</mouse>
)";

// One exchange as the mouse saw it: the bytes the host wrote.
using Wire = std::vector<std::vector<std::uint8_t>>;

// Everything a write task could change in the store.
struct StoreContents {
    std::map<std::pair<int, std::string>, std::u16string> settings;
    std::vector<KeyRecord> keys;
    std::vector<LightRecord> lights;
    std::vector<MacroRecord> macros;
    int activeProfile = 0;
    bool operator==(const StoreContents&) const = default;
};

enum class Link { Cable, Receiver };

inline const char* LinkName(Link link) {
    return link == Link::Cable ? "cable" : "receiver";
}

class WriteTaskTest : public ::testing::Test {
  protected:
    void SetUp() override { Open(Link::Cable, true); }

    // Plugs the mouse in by cable or through the receiver and loads a model with or
    // without lighting. May be called again from a test to start over.
    void Open(Link kind, bool lighting, int sensor = 25) {
        link.CloseAll();
        if (unit != 0) {
            bus.Pull(unit);
        }
        store.CloseDatabase();
        std::filesystem::create_directories(dir / "app/device");
        std::filesystem::create_directories(dir / "data/db");
        std::string xml = kDescriptionTemplate;
        xml.replace(xml.find("@LIGHT@"), 7, lighting ? "1" : "0");
        TempDir::WriteFile(dir / "app/device/sim_model.xml", xml);
        ASSERT_TRUE(description.Update([&](DeviceDescription& d) {
            d = DeviceDescription{};
            return LoadDeviceDescription(dir / "app/device/sim_model.xml", d);
        }));
        ASSERT_EQ(description.Snapshot().lighting, lighting);

        std::filesystem::remove(dir / "data/db/sim_model_data1.db");
        ASSERT_TRUE(store.OpenDatabase(dir / "data", u"sim_model"));
        for (int k = 1; k <= 4; ++k) {
            ProfileRecord record;
            record.name = u"Profile " + FromUtf8(std::to_string(k));
            ASSERT_EQ(store.AddProfile(record), k);
        }
        store.SetActiveProfile(1);

        const SensorInfo limits = LookUpSensor(sensor);
        session.Update([&](DeviceState& s) {
            s = DeviceState{};
            s.currentDeviceType = kModel;
            s.openModelAttr = u"sim_model";
            s.currentProfile = 1;
            s.sensorCode = sensor;
            s.dpiMinimum = limits.dpi_min;
            s.dpiMaximum = limits.dpi_max;
            s.deviceOnline = true;
        });

        sim::MouseSettings settings = sim::FactorySettings(sim::MouseSettings{});
        settings.sensor = static_cast<std::uint8_t>(sensor);
        mouse = std::make_shared<SimMouse>(settings);
        unit = kind == Link::Cable ? bus.PlugCable(mouse, kCableId)
                                   : bus.PlugReceiver(mouse, kReceiverId);
        link.ClearSupportedDevices();
        link.AddSupportedDevice(
            {kCableId.vendor_id, kCableId.product_id, kModel, kLinkCable, u"QM01"});
        link.AddSupportedDevice(
            {kReceiverId.vendor_id, kReceiverId.product_id, kModel, kLinkReceiver, u"QM01"});
        link.EnumerateDevice();
        link.SetOpen(true);
        link.SelectDeviceType(kModel);
        ASSERT_EQ(link.GetSelectedKind(), kind == Link::Cable ? kLinkCable : kLinkReceiver);
        bus.ClearWritten();
        view.Clear();
    }

    void Set(int profile, const std::string& key, int value) {
        ASSERT_TRUE(store.SetSetting(profile, key, FromUtf8(std::to_string(value))));
    }
    void Set(const std::string& key, int value) { Set(1, key, value); }
    std::u16string Get(int profile, const std::string& key) {
        std::u16string value;
        store.GetSetting(profile, key, value);
        return value;
    }

    // The reports written to the configuration collection since the last clear.
    Wire Written() const {
        Wire out;
        for (const sim::WrittenReport& r : bus.Written(unit)) {
            if (r.collection == kConfigCollection) {
                out.push_back(r.bytes);
            }
        }
        return out;
    }
    // The command byte of each report written.
    std::vector<int> Commands() const {
        std::vector<int> codes;
        for (const auto& bytes : Written()) {
            codes.push_back(bytes.size() > 1 ? bytes[1] : -1);
        }
        return codes;
    }
    static ReportFrame AsFrame(const std::vector<std::uint8_t>& bytes) {
        ReportFrame frame;
        std::copy_n(bytes.begin(), std::min(bytes.size(), ReportFrame::kSize), frame.data());
        return frame;
    }

    sim::MouseSettings Mouse() const { return bus.SettingsOf(unit).value_or(sim::MouseSettings{}); }

    StoreContents Contents() {
        StoreContents c;
        for (int profile = 1; profile <= 5; ++profile) {
            for (const DefaultSetting& d : DefaultSettings()) {
                c.settings[{profile, d.key}] = Get(profile, d.key);
            }
            std::vector<KeyRecord> keys;
            store.ListKeys(profile, keys);
            c.keys.insert(c.keys.end(), keys.begin(), keys.end());
            std::vector<LightRecord> lights;
            store.ListLights(profile, lights);
            c.lights.insert(c.lights.end(), lights.begin(), lights.end());
        }
        store.ListMacros(c.macros);
        c.activeProfile = store.GetActiveProfile();
        return c;
    }

    // A lighting row of profile 1 for `mode`.
    void AddLight(int mode, int brightness, int speed, std::array<int, 7> colors = {},
                  int profile = 1) {
        LightRecord r;
        r.profile = profile;
        r.name = u"mode";
        r.mode = mode;
        r.brightness = brightness;
        r.speed = speed;
        r.color_value1 = colors[0];
        r.color_value2 = colors[1];
        r.color_value3 = colors[2];
        r.color_value4 = colors[3];
        r.color_value5 = colors[4];
        r.color_value6 = colors[5];
        r.color_value7 = colors[6];
        ASSERT_NE(store.AddLight(r), 0);
    }

    void SaveKey(int key_code, int type, int value, int value2 = 0, int profile = 1) {
        KeyRecord k;
        k.profile = profile;
        k.key_code = key_code;
        k.macro_type = type;
        k.macro_value = value;
        k.macro_value2 = value2;
        ASSERT_NE(store.SaveKey(k), 0);
    }

    TempDir dir;
    ManualClock clock;
    SimBus bus{clock};
    HidDeviceLink link{bus, clock};
    DataStore store;
    DeviceSession session;
    RecordingMainView view;
    SettingsRegistry registry{dir / "config"};
    DeviceCatalog catalog;
    DescriptionHolder description;
    DeviceContext context{link,  store,   session,     view,         registry,
                          clock, catalog, description, dir / "app/", dir / "data/"};
    std::shared_ptr<SimMouse> mouse;
    UnitId unit = 0;
};

}  // namespace quillora::write_test
