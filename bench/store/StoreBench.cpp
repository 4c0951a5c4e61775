// What the data store costs the program: preparing the four profiles of a model's new
// database, and one SetSetting as the window thread waits for it (the page handler
// stores every change at once, on the thread that draws the window).
//
// Each benchmark runs over the connection modes: arg 0 is the store's default
// (write-ahead log, synchronised at checkpoints); the others are for comparison. In
// the default mode about one SetSetting in a thousand runs the automatic checkpoint
// and pays its two disk syncs; p999 and max show that cost.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/Utf8.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

struct Mode {
    const char* label;
    SQLiteDurability durability;
};

const Mode kModes[] = {
    {"wal+normal", {SQLiteJournalMode::kWal, SQLiteSyncMode::kNormal}},
    {"rollback+off", {SQLiteJournalMode::kDelete, SQLiteSyncMode::kOff}},
    {"rollback+full", {SQLiteJournalMode::kDelete, SQLiteSyncMode::kFull}},
};

// A data folder with its db subfolder, on the same disk as the real one would be.
class Folder {
  public:
    Folder() {
        std::string pattern = std::filesystem::temp_directory_path() / "quillora-bench-XXXXXX";
        path_ = mkdtemp(pattern.data());
        std::filesystem::create_directory(path_ / "db");
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void PrepareProfiles(DataStore& store) {
    for (int i = 0; i < 4; ++i) {
        store.AddProfile({});
    }
    store.SetActiveProfile(1);
}

void BM_InitialiseFourProfiles(benchmark::State& state) {
    const Mode& mode = kModes[state.range(0)];
    state.SetLabel(mode.label);
    for (auto _ : state) {
        state.PauseTiming();
        Folder folder;
        DataStore store(mode.durability);
        store.OpenDatabase(folder.path(), u"bench");
        state.ResumeTiming();

        PrepareProfiles(store);

        state.PauseTiming();
        store.CloseDatabase();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InitialiseFourProfiles)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
// With a disk sync per commit the 164 autocommit statements take seconds: a few rounds
// are enough to show it.
BENCHMARK(BM_InitialiseFourProfiles)->Arg(2)->Iterations(2)->Unit(benchmark::kMillisecond);

// range(1) = 1 adds a worker thread that keeps reading the store, as the device worker
// does while it sends queued changes, so the lock is contended.
void BM_SetSettingLatency(benchmark::State& state) {
    const Mode& mode = kModes[state.range(0)];
    const bool withWorker = state.range(1) != 0;
    state.SetLabel(std::string(mode.label) + (withWorker ? " +worker" : ""));

    Folder folder;
    DataStore store(mode.durability);
    store.OpenDatabase(folder.path(), u"bench");
    PrepareProfiles(store);

    std::atomic<bool> stop{false};
    std::thread worker;
    if (withWorker) {
        worker = std::thread([&] {
            std::u16string value;
            while (!stop.load(std::memory_order_relaxed)) {
                for (int level = 0; level < 6; ++level) {
                    store.GetSetting(1, "dpi_group0_value", value);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the worker's turn
            }
        });
    }

    std::vector<double> micros;
    micros.reserve(1 << 16);
    int value = 0;
    for (auto _ : state) {
        const std::u16string text = FromUtf8(std::to_string(100 + value++ % 26000));
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(store.SetSetting(1, "dpi_group2_value", text));
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    stop = true;
    if (worker.joinable()) {
        worker.join();
    }

    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) {
        return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["p999_us"] = at(0.999);
    state.counters["max_us"] = micros.back();
}
BENCHMARK(BM_SetSettingLatency)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(5000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillora

BENCHMARK_MAIN();
