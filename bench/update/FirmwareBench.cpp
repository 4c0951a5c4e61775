// Sending a 64 KiB firmware image through a sender that takes 1 ms per report, as a
// mouse's upgrade interface does at best. The floor is reports x 1 ms plus the two
// 10 ms pauses after the first reports; the counters show how close the sender loop
// comes to it.

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>
#include <vector>

#include "update/FirmwareUpgrade.h"

namespace {

void BM_SendFirmwareImage64KiB(benchmark::State& state) {
    std::vector<std::uint8_t> image(64 * 1024);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    std::size_t reports = 0;
    quillora::UpgradeReportSender send = [&reports](const quillora::UpgradeReport& report) {
        benchmark::DoNotOptimize(report.data());
        ++reports;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    };
    for (auto _ : state) {
        reports = 0;
        quillora::FirmwareWrite result = quillora::WriteFirmwareImage(image, send);
        benchmark::DoNotOptimize(result);
    }
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["floor_ms"] = static_cast<double>(reports) + 20.0;
}
BENCHMARK(BM_SendFirmwareImage64KiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The report building alone, without any waiting.
void BM_BuildReportsFor64KiB(benchmark::State& state) {
    std::vector<std::uint8_t> image(64 * 1024, 0x5A);
    quillora::UpgradeReportSender send = [](const quillora::UpgradeReport& report) {
        benchmark::DoNotOptimize(report.data());
        return true;
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(quillora::SendFirmwareImage(image, send, {}, {}));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_BuildReportsFor64KiB);

}  // namespace

BENCHMARK_MAIN();
