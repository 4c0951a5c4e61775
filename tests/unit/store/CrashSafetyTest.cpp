// Power loss in the middle of settings and macro writes. The store's default mode (a
// write-ahead log synchronised at checkpoints) must leave a database that opens,
// passes the integrity check and holds, for every setting and for the macro, a state
// that was once written. The same harness run against the unsynchronised rollback
// journal must find damage, which shows the harness can tell the two apart.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "PowerLossVfs.h"
#include "StoreTestSupport.h"
#include "app/Utf8.h"
#include "store/DataStore.h"
#include "store/DefaultSettings.h"

namespace quillora {
namespace {

using testing::PowerLossVfs;
using testing::Query;
using testing::Rows;
using testing::TempDataFolder;

constexpr int kIterations = 200;
constexpr int kSteps = 8;
constexpr const char* kKeys[] = {"dpi_group0_value", "dpi_group1_value", "dpi_index",
                                 "report_rate",      "lightmode",        "doubleclick_time"};

// What was ever written, so every state found afterwards can be checked against it.
struct History {
    std::map<std::string, std::set<std::u16string>> settings;
    std::map<std::u16string, int> generations;  // event desc prefix -> event count
};

std::u16string EventText(int generation, int index) {
    // Long enough that a generation of events fills more than one page.
    return u"g" + std::u16string(FromUtf8(std::to_string(generation))) + u"/" +
           std::u16string(FromUtf8(std::to_string(index))) + u" " + std::u16string(60, u'.');
}

std::u16string GenerationOf(const std::u16string& desc) {
    return desc.substr(0, desc.find(u'/'));
}

class CrashHarness {
  public:
    explicit CrashHarness(SQLiteDurability durability) : durability_(durability) {
        // The starting point: one profile with its defaults and one macro with events,
        // all on the disk before the power-loss runs begin.
        DataStore store(durability_);
        EXPECT_TRUE(store.OpenDatabase(template_.path(), u"M1"));
        EXPECT_EQ(store.AddProfile({}), 1);
        EXPECT_TRUE(store.SetActiveProfile(1));
        macro_ = store.CreateMacro(u"Macro");
        store.ReplaceMacroEvents(macro_, Events(0, 3));
        for (const DefaultSetting& setting : DefaultSettings()) {
            start_.settings[setting.key].insert(FromUtf8(setting.value));
        }
        start_.generations[u"g0"] = 3;
    }

    // One run: returns an empty text when the database survived, else what was wrong.
    std::string Run(unsigned seed) {
        std::mt19937 random(seed);
        TempDataFolder folder;
        std::filesystem::copy_file(template_.DbFile("M1"), folder.DbFile("M1"));
        History history = start_;
        int generation = 0;
        int value = static_cast<int>(seed) * 100;

        vfs_.StartRecording();
        vfs_.ArmPowerLoss(1 + static_cast<int>(random() % kCrashRange));
        {
            DataStore store(durability_);
            store.OpenDatabase(folder.path(), u"M1");
            for (int step = 0; step < kSteps && !vfs_.PowerLost(); ++step) {
                const unsigned action = random() % 10;
                if (action < 6) {
                    const char* key = kKeys[random() % std::size(kKeys)];
                    // Values of changing length move the cells around in the page.
                    const std::u16string text =
                        FromUtf8(std::to_string(value++ * (1 + random() % 997)));
                    history.settings[key].insert(text);
                    store.SetSetting(1, key, text);
                } else if (action < 9) {
                    const int count = 1 + static_cast<int>(random() % 24);
                    history.generations[u"g" + FromUtf8(std::to_string(++generation))] = count;
                    store.ReplaceMacroEvents(macro_, Events(generation, count));
                } else {
                    store.CloseDatabase();  // checkpoints the log into the file
                    store.OpenDatabase(folder.path(), u"M1");
                }
            }
            vfs_.LosePowerNow();
        }
        vfs_.ApplyPowerLoss(random);
        return Check(folder, history);
    }

  private:
    // A full workload makes about 34 mutating calls in the default mode (more with the
    // rollback journal), so crash points fall anywhere in it and, in the rest of the
    // runs, after its last write with everything since the last sync still unsynced.
    static constexpr int kCrashRange = 60;

    std::vector<MacroEventRecord> Events(int generation, int count) const {
        std::vector<MacroEventRecord> events(count);
        for (int i = 0; i < count; ++i) {
            events[i].record_index = i;
            events[i].value = i;
            events[i].desc = EventText(generation, i);
        }
        return events;
    }

    std::string Check(const TempDataFolder& folder, const History& history) {
        const Rows integrity = Query(folder.DbFile("M1"), "PRAGMA integrity_check");
        if (integrity != Rows{{"ok"}}) {
            return "integrity: " +
                   (integrity.empty() || integrity[0].empty() ? std::string("?") : integrity[0][0]);
        }
        DataStore store(durability_);
        if (!store.OpenDatabase(folder.path(), u"M1")) {
            return "does not open";
        }
        for (const DefaultSetting& setting : DefaultSettings()) {
            std::u16string value;
            if (!store.GetSetting(1, setting.key, value)) {
                return std::string("setting lost: ") + setting.key;
            }
            if (history.settings.at(setting.key).count(value) == 0) {
                return std::string("setting never written: ") + setting.key + "=" + ToUtf8(value);
            }
        }
        std::vector<MacroEventRecord> events;
        const int count = store.ListMacroEvents(macro_, events);
        if (count == 0) {
            return "macro without events";
        }
        const std::u16string generation = GenerationOf(events[0].desc);
        const auto written = history.generations.find(generation);
        if (written == history.generations.end() || written->second != count) {
            return "macro events of a half-written generation";
        }
        for (int i = 0; i < count; ++i) {
            if (events[i].record_index != i || GenerationOf(events[i].desc) != generation) {
                return "macro events mixed from two generations";
            }
        }
        return {};
    }

    PowerLossVfs vfs_;
    SQLiteDurability durability_;
    TempDataFolder template_;
    History start_;
    int macro_ = 0;
};

// Runs every seed and returns the number of damaged databases, printing each one.
int DamagedRuns(SQLiteDurability durability, bool print) {
    CrashHarness harness(durability);
    int damaged = 0;
    for (unsigned seed = 1; seed <= kIterations; ++seed) {
        const std::string problem = harness.Run(seed);
        if (!problem.empty()) {
            ++damaged;
            if (print) {
                std::printf("seed %u: %s\n", seed, problem.c_str());
            }
        }
    }
    return damaged;
}

TEST(CrashSafetyTest, WriteAheadLogSurvivesEveryPowerLoss) {
    const int damaged = DamagedRuns({SQLiteJournalMode::kWal, SQLiteSyncMode::kNormal}, true);
    ::testing::Test::RecordProperty("damaged", damaged);
    std::printf("WAL + synchronous=NORMAL: %d of %d runs damaged\n", damaged, kIterations);
    EXPECT_EQ(damaged, 0);
}

TEST(CrashSafetyTest, HarnessFindsTheDamageOfAnUnsyncedRollbackJournal) {
    const int damaged = DamagedRuns({SQLiteJournalMode::kDelete, SQLiteSyncMode::kOff}, false);
    ::testing::Test::RecordProperty("damaged", damaged);
    std::printf("rollback journal + synchronous=OFF: %d of %d runs damaged\n", damaged,
                kIterations);
    EXPECT_GT(damaged, 0);
}

}  // namespace
}  // namespace quillora
