#pragma once

// A store on a fresh database with two profiles, the expected exchange files, and a
// snapshot of everything an import could change.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/DataStore.h"
#include "store/DefaultSettings.h"
#include "support/TempDir.h"

namespace quillora::testing {

// Everything the exchange imports can write, read back through the store.
struct StoreSnapshot {
    std::vector<ProfileRecord> profiles;
    std::vector<std::vector<std::u16string>> settings;  // per profile, in default-table order
    std::vector<std::vector<KeyRecord>> keys;
    std::vector<std::vector<LightRecord>> lights;
    std::vector<MacroRecord> macros;
    std::vector<std::vector<MacroEventRecord>> events;  // per macro
    bool operator==(const StoreSnapshot&) const = default;
};

inline StoreSnapshot Snapshot(DataStore& store) {
    StoreSnapshot s;
    store.ListProfiles(s.profiles);
    for (const ProfileRecord& profile : s.profiles) {
        auto& values = s.settings.emplace_back();
        for (const DefaultSetting& setting : DefaultSettings()) {
            store.GetSetting(profile.profile, setting.key, values.emplace_back());
        }
        store.ListKeys(profile.profile, s.keys.emplace_back());
        store.ListLights(profile.profile, s.lights.emplace_back());
    }
    store.ListMacros(s.macros);
    for (const MacroRecord& macro : s.macros) {
        store.ListMacroEvents(macro.macro_id, s.events.emplace_back());
    }
    return s;
}

inline LightRecord Light(int profile, int mode, std::u16string name, int config) {
    LightRecord light;
    light.profile = profile;
    light.mode = mode;
    light.name = std::move(name);
    light.config_func = config;
    light.reserved = 500 + mode;
    return light;
}

class ExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(dir.Path() + "db");
        ASSERT_TRUE(store.OpenDatabase(dir.Path(), u"M1"));
        ASSERT_EQ(store.AddProfile(ProfileRecord{0, u"Profile 1", u"", 0, 1}), 1);
        ASSERT_EQ(store.AddProfile(ProfileRecord{0, u"Profile 2", u"", 0, 0}), 2);
        // The lighting page's rows for both profiles: modes 0 to 2.
        for (int profile : {1, 2}) {
            store.AddLight(Light(profile, 0, u"Off", 10 * profile));
            store.AddLight(Light(profile, 1, u"Static", 10 * profile + 1));
            store.AddLight(Light(profile, 2, u"Breath", 10 * profile + 2));
            store.SetActiveLightMode(profile, 1);
        }
    }

    static std::string Expected(const std::string& name) {
        return std::string(QUILLORA_TEST_DATA_DIR) + "/exchange/" + name;
    }
    static std::string ExpectedBytes(const std::string& name) {
        return TempDir::ReadFile(Expected(name));
    }
    // Writes `bytes` to a file of that name in the test's folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        TempDir::WriteFile(dir / name, bytes);
        return dir / name;
    }
    std::string Output(const std::string& name) const { return dir / name; }

    std::u16string Setting(int profile, std::string_view key) {
        std::u16string value;
        store.GetSetting(profile, key, value);
        return value;
    }

    TempDir dir;
    DataStore store;
};

// An exchange document from its lines, joined with CR LF after the declaration.
inline std::string Document(std::initializer_list<std::string_view> lines) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    for (std::string_view line : lines) {
        text.append(line);
        text.append("\r\n");
    }
    return text;
}

}  // namespace quillora::testing
