#pragma once

// The store every exchange fuzzer imports into: one database per process in a temporary
// folder, with two profiles that have lighting rows, put back into that state before
// each input. Findings trap, so libFuzzer keeps the input.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "store/DataStore.h"
#include "store/DefaultSettings.h"

namespace quillora::fuzzing {

inline void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

inline std::u16string Ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

class FuzzStore {
  public:
    static constexpr int kProfiles = 2;
    static constexpr int kModes = 3;

    static FuzzStore& Get() {
        static FuzzStore instance;
        return instance;
    }

    DataStore& store() { return store_; }

    // Writes the input where the imports read it from.
    std::string Input(std::string_view bytes) {
        std::ofstream(input_, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return input_;
    }
    std::string Output(const char* name) const { return folder_ + "/" + name; }

    // Back to the state after construction: names, settings, lights, no buttons, no
    // macros. Only what differs is written, so an input that changed little costs
    // little more than the reads.
    void Reset() {
        std::u16string text;
        for (int profile = 1; profile <= kProfiles; ++profile) {
            if (!store_.GetProfileName(profile, text) || text != ProfileName(profile)) {
                store_.RenameProfile(profile, ProfileName(profile));
            }
            std::vector<KeyRecord> keys;
            if (store_.ListKeys(profile, keys) > 0) {
                store_.DeleteKeysOfProfile(profile);
            }
            for (const DefaultSetting& setting : DefaultSettings()) {
                if (!store_.GetSetting(profile, setting.key, text) ||
                    text != Ascii(setting.value)) {
                    store_.SetSetting(profile, setting.key, Ascii(setting.value));
                }
            }
            for (int mode = 0; mode < kModes; ++mode) {
                LightRecord light;
                LightRecord fixture = FixtureLight(profile, mode);
                store_.GetLight(profile, mode, light);
                fixture.light_id = light.light_id;
                fixture.status = light.status;
                if (!(light == fixture)) {
                    store_.UpdateLight(mode, fixture);
                }
            }
            if (store_.GetActiveLightMode(profile) != 1) {
                store_.SetActiveLightMode(profile, 1);
            }
        }
        std::vector<MacroRecord> macros;
        store_.ListMacros(macros);
        for (const MacroRecord& macro : macros) {
            store_.DeleteMacro(macro.macro_id);
        }
    }

    ~FuzzStore() {
        store_.CloseDatabase();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

  private:
    FuzzStore() : store_(SQLiteDurability{SQLiteJournalMode::kWal, SQLiteSyncMode::kOff}) {
        // Memory-backed when the system has it: the store's commits are the hot path.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "quillora-fuzz-XXXXXX").string();
        Check(::mkdtemp(pattern.data()) != nullptr);
        folder_ = pattern;
        input_ = folder_ + "/input.xml";
        std::filesystem::create_directory(folder_ + "/db");
        Check(store_.OpenDatabase(folder_ + "/", u"fuzz"));
        for (int profile = 1; profile <= kProfiles; ++profile) {
            Check(store_.AddProfile(ProfileRecord{0, ProfileName(profile), u"", 0, 0}) == profile);
            for (int mode = 0; mode < kModes; ++mode) {
                Check(store_.AddLight(FixtureLight(profile, mode)) > 0);
            }
        }
        Reset();
    }

    static std::u16string ProfileName(int profile) {
        return u"Profile " + Ascii(std::to_string(profile));
    }

    static LightRecord FixtureLight(int profile, int mode) {
        LightRecord light;
        light.profile = profile;
        light.mode = mode;
        light.name = u"mode";
        light.brightness = mode + 1;
        light.color_value1 = 0xFF;
        light.config_func = mode;
        light.reserved = 500 + mode;
        return light;
    }

    DataStore store_;
    std::string folder_;
    std::string input_;
};

// Events in a fixed order, row numbers and owner cleared, so two macros compare by
// content whatever order equal record_index values came back in.
inline std::vector<MacroEventRecord> EventContent(DataStore& store, int macroId) {
    std::vector<MacroEventRecord> events;
    store.ListMacroEvents(macroId, events);
    for (MacroEventRecord& event : events) {
        event.record_id = 0;
        event.macro_id = 0;
    }
    std::sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
        return std::tie(a.record_index, a.type, a.value, a.delay_time, a.desc) <
               std::tie(b.record_index, b.type, b.value, b.delay_time, b.desc);
    });
    return events;
}

inline int CountStreamEvents(const std::vector<MacroEventRecord>& events) {
    return static_cast<int>(std::count_if(
        events.begin(), events.end(), [](const auto& e) { return e.type >= 2 && e.type <= 5; }));
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quillora::fuzzing
