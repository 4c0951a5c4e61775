#pragma once

// The engine over the simulated bus with the shipped application folder, a real
// profile database in a temporary folder and a recording view. EngineTest<ManualClock>
// runs the task functions on the test thread with time that only moves when something
// waits; the worker tests use the system clock, because the real worker thread must run.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Decimal.h"
#include "app/Folders.h"
#include "app/SettingsRegistry.h"
#include "app/Utf8.h"
#include "device/Clock.h"
#include "device/DeviceContext.h"
#include "device/HidDeviceLink.h"
#include "formats/AppConfig.h"
#include "sim/SimBus.h"
#include "store/DataStore.h"
#include "support/RecordingMainView.h"
#include "support/TempDir.h"

namespace quillora::testing {

// The catalogue's identities (data/config.xml).
inline const sim::UsbIdentity kProCable{0x1209, 0x0001, 0x0105, u"Halcyon Pro"};
inline const sim::UsbIdentity kProReceiver{0x1209, 0x0002, 0x0102, u"Halcyon Receiver"};
inline const sim::UsbIdentity kOldReceiver{0x1209, 0x0003, 0x0100, u"Old Receiver"};
inline const sim::UsbIdentity kWrenCable{0x1209, 0x0005, 0x0103, u"Wren Mini"};
inline const sim::UsbIdentity kStranger{0x1234, 0x5678, 0x0100, u"Not ours"};

inline sim::MouseSettings MouseWithCode(const char* code) {
    sim::MouseSettings s;
    for (int i = 0; i < 4; ++i) {
        s.model_code[i] = static_cast<std::uint8_t>(code[i]);
    }
    return s;
}

template <typename ClockType>
class EngineTest : public ::testing::Test {
  protected:
    EngineTest() {
        CreateFolder(dir.Path() + "config/");
        registry.ReadLanguage();  // start-up creates the settings file
    }

    std::shared_ptr<sim::SimMouse> NewMouse(const char* code = "QH01") {
        return std::make_shared<sim::SimMouse>(MouseWithCode(code));
    }

    std::u16string Setting(const char* key) {
        std::u16string value;
        store.GetSetting(session.Snapshot().currentProfile, key, value);
        return value;
    }
    int IntSetting(const char* key) { return DecimalToInt(Setting(key)); }

    TempDir dir;
    const std::string appFolder = std::string(QUILLORA_SOURCE_DIR) + "/data/";
    ClockType clock;
    sim::SimBus bus{clock};
    HidDeviceLink link{bus, clock};
    DataStore store;
    DeviceSession session;
    RecordingMainView view;
    SettingsRegistry registry{dir.Path() + "config/"};
    DeviceCatalog catalog = ReadCatalogConfig(ConfigFilePath(appFolder), u"device/").catalog;
    DescriptionHolder description;
    DeviceContext context{link,  store,   session,     view,      registry,
                          clock, catalog, description, appFolder, dir.Path()};
};

}  // namespace quillora::testing
