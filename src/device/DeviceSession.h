#pragma once

// The state of the device engine that both threads see: which model is loaded and
// whether it is reachable, what the mouse reported about itself, what the DPI page last
// showed, the versions and the update states. The worker writes most of it, the window
// thread reads it for display and writes the few fields that page actions own (current
// profile, pending macro, shown DPI values). One mutex guards it all; callers take a
// snapshot or change it inside Update().

#include <mutex>
#include <set>
#include <string>

namespace quillora {

struct DeviceState {
    // Selection and reachability.
    int currentDeviceType = 0;  // the model whose pages and database are loaded
    bool interfacesPresent = false;
    bool deviceOnline = false;
    std::u16string openModelName;
    std::u16string openModelAttr;
    int currentProfile = 0;

    // What the device information record said.
    int sensorCode = 0;
    int dpiMinimum = 50;
    int dpiMaximum = 26000;
    int sliderPositions = 520;
    int sliderStepMode = 0;  // 0: leave the slider's step mode as it is
    std::u16string sliderMinText = u"50";
    std::u16string sliderMaxText = u"26000";
    int reportRateCapability = 4;
    int batteryA = 0;
    int batteryB = 0;
    int connectionFlag = 0;
    std::set<int> devicesRead;  // models whose full read ran in this run

    // What the DPI page shows (a notification that repeats it changes nothing).
    int shownDpiCount = 0;
    int shownDpiIndex = 0;

    // Lighting and macros.
    int currentLightMode = 0;
    int pendingMacro = 0;  // bound on the keys page, sent with the next button write

    // Versions and updates: 0 no check yet, 1 newer exists, 2 none newer.
    std::u16string firmwareVersion;  // "%X%02X" of the mouse's version bytes
    std::u16string newestAppVersion;
    int appUpdateState = 0;
    // This copy was installed by the package manager: the notice of a newer version
    // points to the website (or the package manager) instead of offering the installer.
    bool appUpdateViaWebsite = false;
    std::u16string firmwareUrl;
    std::u16string newestFirmwareVersion;
    int firmwareUpdateState = 0;
};

class DeviceSession {
  public:
    DeviceState Snapshot() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return state_;
    }

    // Runs `change` on the state under the lock; it must not call back into the session.
    template <typename Change>
    auto Update(Change&& change) {
        std::lock_guard<std::mutex> guard(mutex_);
        return change(state_);
    }

  private:
    mutable std::mutex mutex_;
    DeviceState state_;
};

}  // namespace quillora
