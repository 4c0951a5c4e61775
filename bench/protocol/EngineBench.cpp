// The device engine against the simulated mouse on the system clock:
// - exchanges per second through SendCommand with no report delay;
// - the full read with 1 ms per report (a full-speed USB interval);
// - the latency from a stored DPI change to its report on the wire while the worker
//   sits in its idle notification read (p50 and p99 over the iterations);
// - the worker's wake-ups per second while idle (voluntary context switches of its
//   thread) with a current interface, with only a receiver whose mouse is off, and with
//   no interface.
//
//   cmake --preset release && cmake --build --preset release --target engine_bench
//   build/release/bench/protocol/engine_bench

#include <benchmark/benchmark.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "app/Decimal.h"
#include "app/Folders.h"
#include "app/SettingsRegistry.h"
#include "app/Trace.h"
#include "app/Utf8.h"
#include "device/DeviceContext.h"
#include "device/DeviceDiscovery.h"
#include "device/DeviceTask.h"
#include "formats/AppConfig.h"
#include "protocol/ConfigRead.h"
#include "protocol/DeviceEngine.h"
#include "protocol/Sensor.h"
#include "protocol/WriteFrames.h"
#include "sim/SimBus.h"
#include "support/RecordingMainView.h"
#include "support/TempDir.h"

namespace quillora {
namespace {

const sim::UsbIdentity kCable{0x1209, 0x0001, 0x0105, u"Halcyon Pro"};
const sim::UsbIdentity kReceiver{0x1209, 0x0002, 0x0102, u"Halcyon Receiver"};

std::shared_ptr<sim::SimMouse> Mouse() {
    sim::MouseSettings s;
    s.model_code = {'Q', 'H', '0', '1'};
    return std::make_shared<sim::SimMouse>(s);
}

// The engine over the bus, as the programs build it.
struct Rig {
    Rig() {
        SetTraceEnabled(false);
        CreateFolder(dir.Path() + "config/");
        registry.ReadLanguage();
    }
    testing::TempDir dir;
    std::string appFolder = std::string(QUILLORA_SOURCE_DIR) + "/data/";
    SystemClock& clock = SystemClock::Shared();
    sim::SimBus bus{clock};
    HidDeviceLink link{bus, clock};
    DataStore store;
    DeviceSession session;
    testing::RecordingMainView view;
    SettingsRegistry registry{dir.Path() + "config/"};
    DeviceCatalog catalog = ReadCatalogConfig(ConfigFilePath(appFolder), u"").catalog;
    DescriptionHolder description;
    DeviceContext context{link,  store,   session,     view,      registry,
                          clock, catalog, description, appFolder, dir.Path()};
};

void BM_SendCommand(benchmark::State& state) {
    Rig rig;
    rig.bus.PlugCable(Mouse(), kCable);
    FillSupportedDevices(rig.context, 101);
    RefreshDevices(rig.context);
    for (auto _ : state) {
        ReportFrame frame;
        frame[1] = 0x12;
        benchmark::DoNotOptimize(rig.link.SendCommand(frame, FrameSize::Short).ok);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendCommand);

void BM_FullReadAt1msPerReport(benchmark::State& state) {
    Rig rig;
    rig.bus.PlugCable(Mouse(), kCable);
    FillSupportedDevices(rig.context, 101);
    RefreshDevices(rig.context);
    InitialiseProfiles(rig.context, {});
    rig.bus.SetReportDelay(std::chrono::milliseconds(1));
    for (auto _ : state) {
        rig.session.Update([](DeviceState& s) { s.devicesRead.clear(); });
        benchmark::DoNotOptimize(ReadDeviceConfig(rig.context));
    }
}
BENCHMARK(BM_FullReadAt1msPerReport)->Unit(benchmark::kMillisecond);

// Sees the DPI write go out.
class WireWatch final : public WireLogSink {
  public:
    void Record(WireDirection direction, int, std::span<const std::uint8_t> bytes) override {
        if (direction != WireDirection::Write || bytes.size() < 2 || bytes[1] != 0x03) {
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ++writes_;
        at_ = std::chrono::steady_clock::now();
        changed_.notify_all();
    }
    std::chrono::steady_clock::time_point WaitForWrite(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return writes_ >= count; });
        return at_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int writes_ = 0;
    std::chrono::steady_clock::time_point at_;
};

// A minimal DPI-level write: the stored levels of the current profile, as task 9 sends
// them.
void WriteDpiLevelsForBench(DeviceContext& context) {
    const DeviceState s = context.session.Snapshot();
    auto get = [&](const std::string& key) {
        std::u16string v;
        context.store.GetSetting(s.currentProfile, key, v);
        return DecimalToInt(v);
    };
    std::array<int, kDpiLevelCount> dpi{};
    for (int i = 0; i < kDpiLevelCount; ++i) {
        dpi[i] = get("dpi_group" + std::to_string(i) + "_value");
    }
    ReportFrame frame = EncodeDpiLevels(s.sensorCode, LookUpSensor(s.sensorCode), get("dpi_index"),
                                        get("dpi_count"), dpi);
    context.link.SendCommand(frame, FrameSize::Short);
}

void BM_StoredChangeToWire(benchmark::State& state) {
    Rig rig;
    WireWatch watch;
    rig.link.SetWireLog(&watch);
    rig.bus.PlugCable(Mouse(), kCable);
    DeviceEngine engine(rig.context);
    engine.Worker().RegisterTask(kTaskWriteDpiLevels, [&] { WriteDpiLevelsForBench(rig.context); });
    engine.Start({.queueAppVersionCheck = false});
    rig.view.WaitFor("RefreshPages " + std::to_string(kRefreshButtons | kRefreshMacros |
                                                      kRefreshDpi | kRefreshLighting |
                                                      kRefreshFirmwareVersion));
    std::mt19937 random(7);
    std::vector<double> latencies;
    int writes = 0;
    for (auto _ : state) {
        // Meet the idle read at a different point of its 100 ms each time.
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 100));
        const auto start = std::chrono::steady_clock::now();
        rig.store.SetSetting(rig.session.Snapshot().currentProfile, "dpi_group2_value",
                             FromUtf8(std::to_string(1000 + 100 * (writes % 10))));
        engine.QueueTask(kTaskWriteDpiLevels);
        const auto at = watch.WaitForWrite(++writes);
        const double ms = std::chrono::duration<double, std::milli>(at - start).count();
        latencies.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        return latencies[std::min(latencies.size() - 1,
                                  static_cast<std::size_t>(p * latencies.size()))];
    };
    state.counters["p50_ms"] = percentile(0.50);
    state.counters["p99_ms"] = percentile(0.99);
    state.counters["max_ms"] = latencies.back();
    engine.Stop();
}
BENCHMARK(BM_StoredChangeToWire)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

long VoluntarySwitches(long tid) {
    std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
            return std::stol(line.substr(line.find(':') + 1));
        }
    }
    return -1;
}

enum Setup { kCurrentInterface, kReceiverMouseOff, kNoInterface };

void BM_IdleWakeUps(benchmark::State& state) {
    Rig rig;
    sim::UnitId receiver = 0;
    if (state.range(0) == kCurrentInterface) {
        rig.bus.PlugCable(Mouse(), kCable);
    } else if (state.range(0) == kReceiverMouseOff) {
        receiver = rig.bus.PlugReceiver(Mouse(), kReceiver);
    }
    DeviceEngine engine(rig.context);
    std::mutex mutex;
    std::condition_variable known;
    long tid = 0;
    constexpr int kWhoAmI = 78;
    engine.Worker().RegisterTask(kWhoAmI, [&] {
        std::lock_guard<std::mutex> lock(mutex);
        tid = static_cast<long>(::syscall(SYS_gettid));
        known.notify_all();
    });
    engine.Start({.queueAppVersionCheck = false});
    rig.view.WaitFor(state.range(0) == kNoInterface ? "ShowLayout NoDevice"
                                                    : "ShowLayout DeviceList");
    if (receiver != 0) {
        rig.view.Clear();
        rig.bus.SetMouseOn(receiver, false);
        rig.view.WaitFor("ShowLayout NoDevice");
    }
    engine.QueueTask(kWhoAmI);
    {
        std::unique_lock<std::mutex> lock(mutex);
        known.wait(lock, [&] { return tid != 0; });
    }
    double perSecond = 0;
    for (auto _ : state) {
        const long before = VoluntarySwitches(tid);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        perSecond = (VoluntarySwitches(tid) - before) / 3.0;
    }
    state.counters["wakeups_per_s"] = perSecond;
    engine.Stop();
}
BENCHMARK(BM_IdleWakeUps)
    ->Arg(kCurrentInterface)
    ->Arg(kReceiverMouseOff)
    ->Arg(kNoInterface)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quillora

BENCHMARK_MAIN();
