// Writing a 64 KiB firmware image the way task 27 does, through HidDeviceLink's upgrade
// channel to the simulated mouse's upgrade interface, with every report costing 1 ms
// (SimBus report delay, a full-speed USB interval) on the real clock. The target is at
// most 1.05 x (reports x 1 ms) + 20 ms (the two 10 ms pauses after the first reports);
// the counters give the report count, that bound and the measured time over the floor.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "device/HidDeviceLink.h"
#include "sim/SimBus.h"
#include "update/FirmwareUpgrade.h"
#include "update/HidUpgradeChannel.h"

namespace {

using namespace quillora;

const sim::UsbIdentity kCable{0x3151, 0x4010, 0x0105, u"Sim Mouse"};
constexpr int kModel = 7;

void BM_UpgradeThroughSimulatedInterface64KiB(benchmark::State& state) {
    std::vector<std::uint8_t> image(64 * 1024);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    SystemClock& clock = SystemClock::Shared();
    sim::SimBus bus(clock);
    const sim::UnitId unit = bus.PlugCable(std::make_shared<sim::SimMouse>(), kCable);
    HidDeviceLink link(bus, clock);
    link.AddSupportedDevice({kCable.vendor_id, kCable.product_id, kModel, kLinkCable, u"QM01"});
    link.EnumerateDevice();
    link.SetOpen(true);
    link.SelectDeviceType(kModel);
    HidUpgradeChannel channel(link);
    if (!channel.Open()) {
        state.SkipWithError("no upgrade interface");
        return;
    }
    bus.SetReportDelay(std::chrono::milliseconds(1));
    const UpgradeReportSender send = channel.Sender();
    const Pause pause = [&clock](std::chrono::milliseconds d) { clock.SleepFor(d); };

    double worst = 0;
    int reports = 0;
    for (auto _ : state) {
        const int before = bus.UpgradeRecordOf(unit)->reports_taken;
        const auto start = std::chrono::steady_clock::now();
        FirmwareWrite result = WriteFirmwareImage(image, send, {}, pause);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (result != FirmwareWrite::Written) {
            state.SkipWithError("transfer failed");
            return;
        }
        reports = bus.UpgradeRecordOf(unit)->reports_taken - before;
        worst = std::max(worst, took.count());
    }
    const sim::UpgradeRecord rec = *bus.UpgradeRecordOf(unit);
    if (rec.image.size() != image.size() || rec.bad_checks + rec.bad_numbers + rec.bad_layout) {
        state.SkipWithError("the mouse did not reassemble the image");
    }
    state.counters["reports"] = reports;
    state.counters["floor_ms"] = reports + 20.0;
    state.counters["target_ms"] = 1.05 * reports + 20.0;
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_UpgradeThroughSimulatedInterface64KiB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
