// Checks of the configuration and device descriptions we ship in data/, read with the
// program's own readers: the values the pages, the profile defaults and discovery take
// from them. The readers only move forward, so an element placed before one its reader
// looks for first is not seen; every check below therefore also guards the order.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/Decimal.h"
#include "app/Utf8.h"
#include "formats/AppConfig.h"
#include "formats/DeviceDescription.h"
#include "formats/XmlReading.h"

namespace quillora {
namespace {

const std::string kAppFolder = std::string(QUILLORA_SOURCE_DIR) + "/data/";
const std::string kConfig = ConfigFilePath(kAppFolder);

CatalogConfig Catalogue() {
    return ReadCatalogConfig(kConfig, u"device/");
}

std::vector<std::string> Models() {
    std::vector<std::string> models;
    for (const CatalogModel& model : Catalogue().catalog.models) {
        models.push_back(ToUtf8(model.deviceAttr));
    }
    return models;
}

TEST(ShippedConfig, ReadersFindEveryPart) {
    const StartupConfig startup = ReadStartupConfig(kConfig);
    ASSERT_TRUE(startup.loaded);
    EXPECT_TRUE(startup.hasLanguages);
    EXPECT_EQ(startup.productKeyName, u"Quillora");
    const CatalogConfig config = Catalogue();
    ASSERT_TRUE(config.software.found);
    EXPECT_TRUE(
        std::regex_match(ToUtf8(config.software.version), std::regex("[0-9]+(\\.[0-9]+)+")));
    // Shipped builds never talk to a network unless the user configures a server.
    EXPECT_EQ(config.software.updateUrl, u"");
    for (const std::u16string* url : {&config.software.websiteUrl, &config.software.feedbackUrl,
                                      &config.software.questionsUrl}) {
        EXPECT_TRUE(url->starts_with(u"https://")) << ToUtf8(*url);
    }
}

TEST(ShippedConfig, ModelsAreDistinctAndStartWithDeviceType101) {
    const DeviceCatalog catalog = Catalogue().catalog;
    ASSERT_GE(catalog.models.size(), 3u);
    EXPECT_EQ(catalog.models[0].deviceType, 101) << "the model selected at every start";
    std::set<int> types;
    std::set<std::u16string> attrs;
    for (const CatalogModel& m : catalog.models) {
        EXPECT_TRUE(types.insert(m.deviceType).second) << m.deviceType;
        EXPECT_TRUE(std::regex_match(ToUtf8(m.deviceAttr), std::regex("[a-z0-9_]+")))
            << "names a file and a database: " << ToUtf8(m.deviceAttr);
        EXPECT_TRUE(attrs.insert(m.deviceAttr).second);
        EXPECT_FALSE(m.name.empty());
        EXPECT_EQ(m.imagePath, u"device/list_" + m.deviceAttr + u".png");
    }
}

TEST(ShippedConfig, IdentitiesUseTheTestRangeAndNeverCollide) {
    const DeviceCatalog catalog = Catalogue().catalog;
    std::set<std::tuple<int, int, std::u16string>> seen;
    std::set<std::string> kindsOf101;
    for (const CatalogIdentity& id : catalog.identities) {
        // pid.codes test identities, so no real device is ever taken for ours.
        EXPECT_EQ(id.vendorId, 0x1209);
        EXPECT_TRUE(id.productId >= 0x0001 && id.productId <= 0x000F) << id.productId;
        EXPECT_TRUE(id.linkKind == 0 || id.linkKind == 1);
        EXPECT_TRUE(id.modelCode.empty() || id.modelCode.size() == 4) << ToUtf8(id.modelCode);
        // An empty model code makes every mouse under the identity model 101.
        if (id.modelCode.empty()) {
            EXPECT_EQ(id.model.deviceType, 101) << id.productId;
        }
        EXPECT_TRUE(seen.emplace(id.vendorId, id.productId, id.modelCode).second) << id.productId;
        if (id.model.deviceType == 101) {
            kindsOf101.insert(std::to_string(id.linkKind) + (id.modelCode.empty() ? "-any" : ""));
        }
    }
    // The flagship: cable, receiver, and a first-series receiver without model code.
    EXPECT_EQ(kindsOf101, (std::set<std::string>{"0", "1", "1-any"}));
}

class ShippedDescription : public ::testing::TestWithParam<std::string> {
  protected:
    std::string File() const { return kAppFolder + "device/" + GetParam() + ".xml"; }
    DeviceDescription Load() const {
        DeviceDescription description;
        EXPECT_TRUE(LoadDeviceDescription(File(), description));
        return description;
    }
    // The raw text of an attribute of `element` inside the path of parents, walked the
    // way the readers walk.
    std::u16string Raw(std::vector<std::u16string> path, const std::u16string& attribute) const {
        XmlDocument document;
        if (!OpenXmlFile(document, File(), u"mouse"))
            return u"<unreadable>";
        for (const std::u16string& element : path) {
            document.EnterElement();
            if (!document.FindElement(element))
                return u"<missing " + element + u">";
        }
        return document.GetAttribute(attribute);
    }
};

TEST_P(ShippedDescription, PictureFlagsAndFirmware) {
    const DeviceDescription d = Load();
    EXPECT_EQ(d.picture, u"device/mouse_" + FromUtf8(GetParam()) + u".png");
    for (const char16_t* flag : {u"show_dpitips", u"show_savetips", u"show_lod", u"show_sensor"}) {
        const std::u16string value = Raw({u"custom"}, flag);
        EXPECT_TRUE(value == u"0" || value == u"1") << ToUtf8(flag) << " " << ToUtf8(value);
    }
    EXPECT_EQ(d.firmwareUrl, u"") << "we run no firmware server";
}

// What the mouse does for a button with no stored assignment; the key list must show
// the same, so each default is that function (type, value) with its description text.
const std::map<int, std::tuple<int, int, int>> kMouseDefaults = {
    {0, {1, 1, 106}}, {1, {1, 3, 107}}, {2, {1, 2, 108}},
    {3, {1, 6, 110}}, {4, {1, 5, 109}}, {5, {5, 3, 142}},
};

TEST_P(ShippedDescription, ButtonsMatchWhatTheMouseDoesByDefault) {
    const DeviceDescription d = Load();
    ASSERT_GE(d.buttons.size(), 5u);
    std::set<int> values;
    for (const ButtonDefinition& b : d.buttons) {
        EXPECT_TRUE(values.insert(b.keyValue).second) << "key_value " << b.keyValue << " twice";
        ASSERT_TRUE(kMouseDefaults.count(b.keyValue)) << "no such button: " << b.keyValue;
        const auto [type, function, desc] = kMouseDefaults.at(b.keyValue);
        EXPECT_EQ(b.functionType, type) << "key " << b.keyValue;
        EXPECT_EQ(b.functionValue, function) << "key " << b.keyValue;
        EXPECT_EQ(b.descriptionText, desc) << "key " << b.keyValue;
        EXPECT_GT(b.nameText, 0) << "name is a text number";
        EXPECT_LT(b.hotspot.x1, b.hotspot.x2) << "label line of key " << b.keyValue;
        EXPECT_GT(b.hotspot.y, 0) << "label line of key " << b.keyValue;
        EXPECT_TRUE(b.direction == 0 || b.direction == 1);
    }
    EXPECT_EQ(d.buttons.front().keyValue, 0) << "the key list starts with the left button";
}

TEST_P(ShippedDescription, ProfileDefaultsAreCompleteAndValuesThePagesOffer) {
    const SettingValues defaults = ReadDescriptionDefaults(File(), false);
    std::vector<std::string> keys;
    std::map<std::string, int> value;
    for (const auto& [key, text] : defaults) {
        keys.push_back(key);
        value[key] = DecimalToInt(text);
    }
    std::vector<std::string> expected = {"dpi_index", "dpi_flag", "dpi_count"};
    for (int level = 0; level < 6; ++level) {
        expected.push_back("dpi_group" + std::to_string(level) + "_value");
        expected.push_back("dpi_group" + std::to_string(level) + "_rgb");
    }
    for (const char* key : {"report_rate", "sleep_light", "move_wakeup", "move_closelight"}) {
        expected.push_back(key);
    }
    ASSERT_EQ(keys, expected) << "an element missing or out of order";
    const int count = value["dpi_count"];
    EXPECT_TRUE(count >= 1 && count <= 6) << count;
    EXPECT_TRUE(value["dpi_index"] >= 0 && value["dpi_index"] < count);
    for (int level = 0; level < 6; ++level) {
        const int dpi = value["dpi_group" + std::to_string(level) + "_value"];
        // Multiples of 100 in every sensor's range, so no sensor's rounding changes them.
        EXPECT_TRUE(dpi >= 200 && dpi <= 12000 && dpi % 100 == 0) << dpi;
        const std::u16string colour = Raw(
            {u"mouse_info", u"dpi_info", u"dpi_" + FromUtf8(std::to_string(level + 1))}, u"color");
        EXPECT_TRUE(std::regex_match(ToUtf8(colour), std::regex("#[0-9A-F]{6}"))) << ToUtf8(colour);
    }
    EXPECT_TRUE(std::set<int>({8, 4, 2, 1}).count(value["report_rate"]));  // every mouse has them
    EXPECT_TRUE(std::set<int>({6, 12, 30, 60, 120, 180}).count(value["sleep_light"]));
    EXPECT_TRUE(value["move_wakeup"] == 0 || value["move_wakeup"] == 1);
    EXPECT_TRUE(value["move_closelight"] == 0 || value["move_closelight"] == 1);
    EXPECT_EQ(ReadReportRateDefault(File()).size(), 2u);
}

TEST_P(ShippedDescription, LightingModesFollowTheLightingTab) {
    const DeviceDescription d = Load();
    for (int mode = 1; mode <= 6; ++mode) {
        const std::u16string flag = Raw(
            {u"mouse_info", u"light_info", u"light_" + FromUtf8(std::to_string(mode))}, u"enable");
        EXPECT_TRUE(flag == u"0" || flag == u"1") << mode << " " << ToUtf8(flag);
    }
    int enabled = 0;
    for (bool on : d.lightModes)
        enabled += on;
    if (d.lighting) {
        EXPECT_TRUE(d.lightModes[5]) << "a lit mouse can switch its light off";
        EXPECT_TRUE(d.lightModes[0]) << "mode 1 is made active in new profiles";
    } else {
        EXPECT_EQ(enabled, 0) << "modes offered without a lighting tab";
    }
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedDescription, ::testing::ValuesIn(Models()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace quillora
