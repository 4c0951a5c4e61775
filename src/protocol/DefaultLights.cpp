#include "protocol/DefaultLights.h"

namespace quillora {
namespace {

struct ModeDefault {
    int mode;
    int configFunc;
    int nameText;
    const char16_t* name;  // the table's internal name; lists show the text above
};

// light_1 .. light_6 in description order; light_6 is "light off" (mode 0).
constexpr std::array<ModeDefault, 6> kModes = {{
    {1, 3, 280, u"流光"},
    {2, 0x813, 281, u"呼吸"},
    {3, 0x11, 282, u"常亮"},
    {4, 3, 283, u"霓虹"},
    {5, 3, 284, u"七彩波浪"},
    {0, 0, 285, u"关闭"},
}};

constexpr int Rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

}  // namespace

std::vector<LightRecord> DefaultLightRecords(int profile, const std::array<bool, 6>& offered) {
    std::vector<LightRecord> records;
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        if (!offered[i]) {
            continue;
        }
        LightRecord r;
        r.profile = profile;
        r.name = kModes[i].name;
        r.mode = kModes[i].mode;
        r.brightness = 4;
        r.speed = 2;
        r.direction = 0;
        r.colorful = 1;
        r.colorindex = 0;
        r.color_value1 = Rgb(255, 0, 0);
        r.color_value2 = Rgb(0, 255, 0);
        r.color_value3 = Rgb(0, 0, 255);
        r.color_value4 = Rgb(0, 255, 255);
        r.color_value5 = Rgb(255, 255, 0);
        r.color_value6 = Rgb(255, 0, 255);
        r.color_value7 = Rgb(255, 255, 255);
        r.config_func = kModes[i].configFunc;
        r.reserved = kModes[i].nameText;
        r.status = 0;
        records.push_back(r);
    }
    return records;
}

bool EnsureDefaultLights(DataStore& store, int profile, const std::array<bool, 6>& offered) {
    if (profile < 1 || store.CountLights(profile) > 0) {
        return false;
    }
    const std::vector<LightRecord> records = DefaultLightRecords(profile, offered);
    for (const LightRecord& r : records) {
        store.AddLight(r);
    }
    if (records.empty()) {
        return false;
    }
    store.SetActiveLightMode(profile, 1);
    return true;
}

}  // namespace quillora
