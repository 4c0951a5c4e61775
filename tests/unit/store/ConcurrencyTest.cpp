// The window thread and the device worker share one DataStore. Each store operation
// is one holding of the lock, so neither thread may ever see another's operation
// half done: a macro between the delete and the inserts of its replacement, no active
// profile or lighting mode between the two updates that move the status, a button
// between the delete and the insert of SaveKey, a profile without its settings.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "StoreTestSupport.h"
#include "app/Utf8.h"
#include "store/DataStore.h"

namespace quillora {
namespace {

using testing::StoreTest;

constexpr auto kDuration = std::chrono::milliseconds(2000);
constexpr int kButton = 5;

// Generation g of the macro has 1 + g % 7 events, so the reader can tell from the
// first event how many there must be.
int EventCount(int generation) {
    return 1 + generation % 7;
}

std::vector<MacroEventRecord> Generation(int generation) {
    std::vector<MacroEventRecord> events(EventCount(generation));
    for (int i = 0; i < static_cast<int>(events.size()); ++i) {
        events[i].record_index = i;
        events[i].value = generation;
    }
    return events;
}

class Violations {
  public:
    void Report(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count_++ == 0) {
            first_ = what;
        }
    }
    int count() const { return count_; }
    const std::string& first() const { return first_; }

  private:
    std::mutex mutex_;
    int count_ = 0;
    std::string first_;
};

class ConcurrencyTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        for (int i = 0; i < 4; ++i) {
            ASSERT_GT(store.AddProfile({}), 0);
        }
        ASSERT_TRUE(store.SetActiveProfile(1));
        for (int mode = 1; mode <= 4; ++mode) {
            LightRecord light;
            light.profile = 1;
            light.mode = mode;
            ASSERT_GT(store.AddLight(light), 0);
        }
        ASSERT_TRUE(store.SetActiveLightMode(1, 1));
        macro = store.CreateMacro(u"Shared");
        ASSERT_TRUE(store.ReplaceMacroEvents(macro, Generation(0)));
        ASSERT_GT(store.SaveKey(Button(1)), 0);
    }

    static KeyRecord Button(int value) {
        KeyRecord key;
        key.profile = 1;
        key.key_code = kButton;
        key.macro_type = 1;
        key.macro_value = value;
        return key;
    }

    void CheckMacro(Violations& violations) {
        std::vector<MacroEventRecord> events;
        const int count = store.ListMacroEvents(macro, events);
        if (count == 0) {
            violations.Report("macro without events");
            return;
        }
        const int generation = events[0].value;
        if (count != EventCount(generation)) {
            violations.Report("macro with " + std::to_string(count) + " events of generation " +
                              std::to_string(generation));
        }
        for (int i = 0; i < count; ++i) {
            if (events[i].value != generation || events[i].record_index != i) {
                violations.Report("macro mixing two generations");
                return;
            }
        }
    }

    int macro = 0;
};

TEST_F(ConcurrencyTest, NoThreadSeesAnotherThreadsOperationHalfDone) {
    Violations violations;
    std::atomic<bool> stop{false};
    int windowTurns = 0;
    int workerTurns = 0;

    // The window thread: the page handlers' writes, and the lighting page's reads.
    std::thread window([&] {
        for (int i = 1; !stop.load(); ++i, ++windowTurns) {
            store.SetSetting(1, "dpi_index", FromUtf8(std::to_string(i % 6)));
            store.ReplaceMacroEvents(macro, Generation(i));
            store.SaveKey(Button(1 + i));
            store.SetActiveProfile(1 + i % 4);
            if (i % 64 == 0) {
                store.AddProfile({});
            }
            if (store.GetActiveLightMode(1) == 0) {
                violations.Report("no active lighting mode");
            }
        }
    });

    // The worker: the task functions' reads, and the mouse's own lighting changes.
    std::thread worker([&] {
        std::vector<ProfileRecord> profiles;
        for (int i = 1; !stop.load(); ++i, ++workerTurns) {
            CheckMacro(violations);
            if (store.GetActiveProfile() == 0) {
                violations.Report("no active profile");
            }
            KeyRecord key;
            if (!store.GetKey(1, kButton, key)) {
                violations.Report("button between delete and insert");
            }
            store.SetActiveLightMode(1, 1 + i % 4);
            std::u16string value;
            if (store.ListProfiles(profiles) > 0 &&
                !store.GetSetting(profiles.back().profile, "doubleclick_time", value)) {
                violations.Report("profile without its settings");
            }
        }
    });

    std::this_thread::sleep_for(kDuration);
    stop = true;
    window.join();
    worker.join();

    EXPECT_EQ(violations.count(), 0) << "first: " << violations.first();
    // Both threads must really have interleaved for the run to mean anything.
    EXPECT_GT(windowTurns, 10);
    EXPECT_GT(workerTurns, 10);
    std::printf("window turns %d, worker turns %d\n", windowTurns, workerTurns);
}

}  // namespace
}  // namespace quillora
