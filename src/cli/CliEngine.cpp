#include "cli/CliEngine.h"

#include <chrono>

#include "app/Utf8.h"
#include "device/DeviceTask.h"
#include "device/OpenDevice.h"

namespace quillora::cli {
namespace {

// A task code of the command line's own: it runs after everything queued before it.
constexpr int kTaskDrainMarker = 1000;

}  // namespace

CliEngine::CliEngine(CliContext& cli) : cli_(cli), registry_(cli.configFolder) {
    link_ = std::make_unique<HidDeviceLink>(*cli.api);
    link_->SetWireLog(cli.wireLog.get());
    context_ = std::unique_ptr<DeviceContext>(
        new DeviceContext{*link_, store_, session_, view_, registry_, SystemClock::Shared(),
                          cli.config.catalog, description_, cli.applicationFolder, cli.dataFolder});
    engine_ = std::make_unique<DeviceEngine>(*context_);
    engine_->Worker().RegisterTask(kTaskDrainMarker, [this] {
        std::lock_guard<std::mutex> guard(drainMutex_);
        ++drainsRun_;
        drained_.notify_all();
    });
}

CliEngine::~CliEngine() {
    engine_.reset();  // stops the worker before the context goes away
}

bool CliEngine::Start(std::string& error) {
    int initial = 101;
    if (!cli_.options.model.empty()) {
        const std::u16string wanted = FromUtf8(cli_.options.model);
        initial = 0;
        for (const CatalogModel& model : cli_.config.catalog.models) {
            if (model.deviceAttr == wanted)
                initial = model.deviceType;
        }
        if (initial == 0) {
            error = "--model: no catalogued model \"" + cli_.options.model + "\"";
            return false;
        }
    }
    CreateFolder(cli_.configFolder);
    registry_.ReadLanguage();  // the first read makes the settings key, as at start-up
    CreateFolder(DatabaseFolder(cli_.dataFolder));
    EngineStart start;
    start.initialDeviceType = initial;
    start.queueAppVersionCheck = false;  // only `update check` asks a server
    engine_->Start(start);
    Drain();

    const int selected = session_.Snapshot().currentDeviceType;
    const OpenDeviceResult opened = engine_->OpenSelectedDevice(selected != 0 ? selected : initial);
    if (!opened.opened) {
        // No device: the model's database and profiles are still there for the commands
        // that only read or change the store.
        engine_->QueueTask(kTaskSwitchModel);
    }
    Drain();
    return true;
}

void CliEngine::Drain() {
    unsigned long long target;
    {
        std::lock_guard<std::mutex> guard(drainMutex_);
        target = ++drainsQueued_;
    }
    engine_->QueueTask(kTaskDrainMarker);
    std::unique_lock<std::mutex> lock(drainMutex_);
    drained_.wait(lock, [&] { return drainsRun_ >= target; });
}

void CliEngine::Stop() {
    engine_->Stop(std::chrono::milliseconds::max());
}

int CliEngine::CurrentProfile() const {
    return session_.Snapshot().currentProfile;
}

}  // namespace quillora::cli
