// Checks of the configuration and device descriptions we ship in data/: the values the
// pages, the profile defaults and discovery take from them, and the element order their
// readers rely on (an element placed before one its reader looks for first is not seen).

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "unit/lang/ShippedXmlScan.h"

namespace quillora {
namespace {

const std::string kConfig = kShippedAppFolder + "config.xml";

std::string Description(const std::string& model) {
    return kShippedAppFolder + "device/" + model + ".xml";
}

std::vector<std::string> Models() {
    return ScanAttribute(kConfig, "mouse", "device_attr");
}

bool IsInteger(const std::string& s) {
    return std::regex_match(s, std::regex("-?[0-9]+"));
}

// Each element's first start tag comes after the previous one's.
void ExpectInOrder(const std::string& file, const std::vector<std::string>& elements) {
    const std::string text = ShippedXmlWithoutComments(file);
    size_t previous = 0;
    for (const std::string& element : elements) {
        const size_t at = FirstTagOffset(text, element);
        ASSERT_NE(at, std::string::npos) << element << " missing in " << file;
        EXPECT_GT(at, previous) << element << " comes too early in " << file;
        previous = at;
    }
}

TEST(ShippedConfig, ElementsComeInTheOrderTheReadersExpect) {
    ExpectInOrder(kConfig, {"config", "language.info", "device", "software", "website", "feedback",
                            "qa", "upgrade"});
}

TEST(ShippedConfig, SoftwareHasNoUpdateServerAndSafeLinks) {
    const std::vector<ScannedElement> software = ScanElements(kConfig, "software");
    ASSERT_EQ(software.size(), 1u);
    EXPECT_EQ(software[0].at("caption"), "Quillora");
    EXPECT_TRUE(std::regex_match(software[0].at("version"), std::regex("[0-9]+(\\.[0-9]+)+")));
    // Shipped builds never talk to a network unless the user configures a server.
    EXPECT_EQ(ScanAttribute(kConfig, "upgrade", "url"), std::vector<std::string>{""});
    for (const char* link : {"website", "feedback", "qa"}) {
        const std::vector<std::string> url = ScanAttribute(kConfig, link, "url");
        ASSERT_EQ(url.size(), 1u) << link;
        EXPECT_TRUE(url[0].starts_with("https://")) << link << ": " << url[0];
    }
}

TEST(ShippedConfig, ModelsAreDistinctAndStartWithDeviceType101) {
    const std::vector<ScannedElement> mice = ScanElements(kConfig, "mouse");
    ASSERT_GE(mice.size(), 3u);
    EXPECT_EQ(mice[0].at("device_type"), "101") << "the model selected at every start";
    std::set<std::string> types, attrs;
    for (const ScannedElement& m : mice) {
        EXPECT_TRUE(IsInteger(m.at("device_type")));
        EXPECT_TRUE(types.insert(m.at("device_type")).second) << m.at("device_type");
        EXPECT_TRUE(std::regex_match(m.at("device_attr"), std::regex("[a-z0-9_]+")))
            << "names a file and a database: " << m.at("device_attr");
        EXPECT_TRUE(attrs.insert(m.at("device_attr")).second) << m.at("device_attr");
        EXPECT_FALSE(m.at("name").empty());
        EXPECT_TRUE(m.at("image").ends_with(".png")) << m.at("image");
    }
}

// Identities, read per model by splitting the file at each <mouse ...> tag.
struct Identity {
    std::string deviceType;
    ScannedElement mode;
};

std::vector<Identity> Identities() {
    const std::string text = ShippedXmlWithoutComments(kConfig);
    const std::regex mouse("<mouse\\s[^>]*device_type=\"([^\"]*)\"[^>]*>([\\s\\S]*?)</mouse>");
    const std::regex mode("<mode\\s([^>]*)/>");
    const std::regex attribute("([a-z_]+)=\"([^\"]*)\"");
    std::vector<Identity> identities;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), mouse);
         m != std::sregex_iterator(); ++m) {
        const std::string body = (*m)[2].str();
        for (auto d = std::sregex_iterator(body.begin(), body.end(), mode);
             d != std::sregex_iterator(); ++d) {
            Identity id{(*m)[1].str(), {}};
            const std::string inner = (*d)[1].str();
            for (auto a = std::sregex_iterator(inner.begin(), inner.end(), attribute);
                 a != std::sregex_iterator(); ++a) {
                id.mode[(*a)[1].str()] = (*a)[2].str();
            }
            identities.push_back(std::move(id));
        }
    }
    return identities;
}

TEST(ShippedConfig, IdentitiesUseTheTestRangeAndNeverCollide) {
    const std::vector<Identity> identities = Identities();
    ASSERT_EQ(identities.size(), ScanElements(kConfig, "mode").size());
    std::set<std::tuple<long, long, std::string>> seen;
    std::set<std::string> kindsOf101;
    for (const Identity& id : identities) {
        const std::string& dev = id.mode.at("dev_id");
        const long vid = std::strtol(id.mode.at("vid").c_str(), nullptr, 16);
        const long pid = std::strtol(id.mode.at("pid").c_str(), nullptr, 16);
        // pid.codes test identities, so no real device is ever taken for ours.
        EXPECT_EQ(vid, 0x1209) << id.mode.at("vid");
        EXPECT_TRUE(pid >= 0x0001 && pid <= 0x000F) << id.mode.at("pid");
        EXPECT_TRUE(id.mode.at("value") == "0" || id.mode.at("value") == "1");
        EXPECT_TRUE(dev.empty() || dev.size() == 4) << "model code " << dev;
        // An empty model code makes every mouse under the identity model 101.
        if (dev.empty()) {
            EXPECT_EQ(id.deviceType, "101") << id.mode.at("pid");
        }
        EXPECT_TRUE(seen.emplace(vid, pid, dev).second) << id.mode.at("pid") << " " << dev;
        if (id.deviceType == "101") {
            kindsOf101.insert(id.mode.at("value") + (dev.empty() ? "-any" : ""));
        }
    }
    // The flagship: cable, receiver, and a first-series receiver without model code.
    EXPECT_EQ(kindsOf101, (std::set<std::string>{"0", "1", "1-any"}));
}

class ShippedDescription : public ::testing::TestWithParam<std::string> {
  protected:
    std::string file() const { return Description(GetParam()); }
    ScannedElement One(const std::string& element) const {
        const std::vector<ScannedElement> found = ScanElements(file(), element);
        EXPECT_EQ(found.size(), 1u) << element;
        return found.empty() ? ScannedElement{} : found[0];
    }
};

TEST_P(ShippedDescription, ElementsComeInTheOrderTheReadersExpect) {
    ExpectInOrder(file(),
                  {"mouse", "image_file", "menu", "custom", "firmware", "mouse_key", "key",
                   "mouse_info", "dpi_info", "dpi_1", "dpi_2", "dpi_3", "dpi_4", "dpi_5", "dpi_6",
                   "report_rate", "sleep_light", "move_wakeup", "move_closelight"});
    ExpectInOrder(file(), {"mouse_info", "light_info", "light_1", "light_2", "light_3", "light_4",
                           "light_5", "light_6"});
}

TEST_P(ShippedDescription, PictureFlagsAndFirmware) {
    EXPECT_EQ(One("image_file")["mouse_img"], "mouse_" + GetParam() + ".png");
    const ScannedElement custom = One("custom");
    for (const char* flag : {"show_dpitips", "show_savetips", "show_lod", "show_sensor"}) {
        ASSERT_TRUE(custom.count(flag)) << flag;
        EXPECT_TRUE(custom.at(flag) == "0" || custom.at(flag) == "1") << flag;
    }
    EXPECT_EQ(One("firmware")["url"], "") << "we run no firmware server";
}

// What the mouse does for a button with no stored assignment; the key list must show
// the same, so each default is that function (type, value) with its description text.
const std::map<int, std::tuple<int, int, int>> kMouseDefaults = {
    {0, {1, 1, 106}}, {1, {1, 3, 107}}, {2, {1, 2, 108}},
    {3, {1, 6, 110}}, {4, {1, 5, 109}}, {5, {5, 3, 142}},
};

TEST_P(ShippedDescription, ButtonsMatchWhatTheMouseDoesByDefault) {
    const std::vector<ScannedElement> keys = ScanElements(file(), "key");
    ASSERT_GE(keys.size(), 5u);
    std::set<int> values;
    for (const ScannedElement& k : keys) {
        const int value = std::stoi(k.at("key_value"));
        EXPECT_TRUE(values.insert(value).second) << "key_value " << value << " twice";
        ASSERT_TRUE(kMouseDefaults.count(value)) << "no such button: " << value;
        const auto [type, function, desc] = kMouseDefaults.at(value);
        EXPECT_EQ(k.at("func_type"), std::to_string(type)) << "key " << value;
        EXPECT_EQ(k.at("func_value"), std::to_string(function)) << "key " << value;
        EXPECT_EQ(k.at("func_desc"), std::to_string(desc)) << "key " << value;
        EXPECT_TRUE(IsInteger(k.at("name"))) << "name is a text number";

        std::smatch r;
        const std::string rect = k.at("rect");
        ASSERT_TRUE(std::regex_match(rect, r, std::regex("([0-9]+)#([0-9]+)#([0-9]+)"))) << rect;
        EXPECT_LT(std::stoi(r[1]), std::stoi(r[2])) << "label line of key " << value;
        EXPECT_TRUE(k.at("direction") == "0" || k.at("direction") == "1");
    }
    EXPECT_TRUE(values.count(0)) << "the left button (key value 0) is always listed";
    EXPECT_EQ(keys.front().at("key_value"), "0") << "the key list starts with it";
}

TEST_P(ShippedDescription, ProfileDefaultsAreValuesThePagesOffer) {
    const ScannedElement dpi = One("dpi_info");
    const int count = std::stoi(dpi.at("dpi_count"));
    EXPECT_TRUE(count >= 1 && count <= 6) << count;
    const int active = std::stoi(dpi.at("default_dpi"));
    EXPECT_TRUE(active >= 0 && active < count) << active;
    for (int level = 1; level <= 6; ++level) {
        const ScannedElement l = One("dpi_" + std::to_string(level));
        const int value = std::stoi(l.at("value"));
        // Multiples of 100 in every sensor's range, so no sensor's rounding changes them.
        EXPECT_TRUE(value >= 200 && value <= 12000 && value % 100 == 0) << value;
        EXPECT_TRUE(std::regex_match(l.at("color"), std::regex("#[0-9A-F]{6}"))) << l.at("color");
    }
    const std::set<std::string> rates = {"8", "4", "2", "1"};  // offered by every mouse
    EXPECT_TRUE(rates.count(One("report_rate")["default_value"]));
    const std::set<std::string> lightOff = {"6", "12", "30", "60", "120", "180"};
    EXPECT_TRUE(lightOff.count(One("sleep_light")["value"])) << "an item of the light-off list";
    for (const char* option : {"move_wakeup", "move_closelight"}) {
        const std::string v = One(option)["value"];
        EXPECT_TRUE(v == "0" || v == "1") << option;
    }
}

TEST_P(ShippedDescription, LightingModesFollowTheLightingTab) {
    const bool lighting = One("menu")["light"] == "1";
    int enabled = 0;
    for (int mode = 1; mode <= 6; ++mode) {
        const std::string flag = One("light_" + std::to_string(mode))["enable"];
        EXPECT_TRUE(flag == "0" || flag == "1") << mode;
        enabled += flag == "1";
    }
    if (lighting) {
        EXPECT_EQ(One("light_6")["enable"], "1") << "a lit mouse can switch its light off";
        EXPECT_EQ(One("light_1")["enable"], "1") << "mode 1 is made active in new profiles";
    } else {
        EXPECT_EQ(enabled, 0) << "modes offered without a lighting tab";
    }
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedDescription, ::testing::ValuesIn(Models()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace quillora
