#include "protocol/DeviceEngine.h"

#include "device/DeviceDiscovery.h"
#include "device/DeviceTask.h"

namespace quillora {

DeviceEngine::DeviceEngine(DeviceContext& context)
    : context_(context),
      hotPlug_(
          context.catalog, [&context] { return context.session.Snapshot().interfacesPresent; },
          [this](int code) { worker_.QueueTask(code); }) {
    RegisterDiscoveryTasks(worker_, context_, hooks_);
}

DeviceEngine::~DeviceEngine() {
    worker_.Stop(std::chrono::milliseconds::max());
}

bool DeviceEngine::Start(const EngineStart& start) {
    FillSupportedDevices(context_, start.initialDeviceType);
    worker_.QueueTask(kTaskStartupDiscovery);
    if (start.queueAppVersionCheck) {
        worker_.QueueTask(kTaskCheckAppVersion);
    }
    return worker_.Start();
}

bool DeviceEngine::Stop(std::chrono::milliseconds bound) {
    return worker_.Stop(bound);
}

OpenDeviceResult DeviceEngine::OpenSelectedDevice(int deviceType) {
    return quillora::OpenSelectedDevice(context_, deviceType,
                                        [this](int code) { worker_.QueueTask(code); });
}

}  // namespace quillora
