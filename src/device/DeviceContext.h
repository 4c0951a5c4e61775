#pragma once

// What every piece of the device engine works with: the link to the mice, the profile
// database, the shared device state, the view, the program's settings, the clock, the
// catalogue and the loaded model's description. One context exists per program run; the
// discovery code and every task function receive it.

#include <mutex>
#include <string>

#include "app/MainView.h"
#include "app/SettingsRegistry.h"
#include "device/Clock.h"
#include "device/DeviceSession.h"
#include "device/HidDeviceLink.h"
#include "formats/DeviceCatalog.h"
#include "formats/DeviceDescription.h"
#include "store/DataStore.h"

namespace quillora {

// The description of the open model. The worker loads it; the window thread reads it
// for display. Guarded, because both threads see it.
class DescriptionHolder {
  public:
    DeviceDescription Snapshot() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return description_;
    }
    template <typename Change>
    auto Update(Change&& change) {
        std::lock_guard<std::mutex> guard(mutex_);
        return change(description_);
    }

  private:
    mutable std::mutex mutex_;
    DeviceDescription description_;
};

struct DeviceContext {
    HidDeviceLink& link;
    DataStore& store;
    DeviceSession& session;
    MainView& view;
    SettingsRegistry& registry;
    Clock& clock;
    const DeviceCatalog& catalog;
    DescriptionHolder& description;
    std::string applicationFolder;  // ends with '/'
    std::string dataFolder;         // ends with '/'
};

}  // namespace quillora
