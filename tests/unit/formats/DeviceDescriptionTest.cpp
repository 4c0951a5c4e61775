#include "formats/DeviceDescription.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace quillora {
namespace {

using testing::TempDir;

const char* kFull = R"(<?xml version="1.0" encoding="UTF-8"?>
<mouse>
<image_file mouse_img="flag_top.png"/>
<menu light="1"/>
<custom show_dpitips="1" show_savetips="0" show_lod="1" show_sensor="2"/>
<firmware url="fw/flag/"/>
<mouse_key>
<key name="301" key_value="1" direction="0" rect="10#80#35" func_desc="401" func_type="1" func_value="1"/>
<key name="302" key_value="2" direction="1" rect="10" func_desc="402" func_type="1" func_value="2"/>
<key name="303" key_value="3" rect="10#80"/>
</mouse_key>
<mouse_info>
<dpi_info default_dpi="1" dpi_count="4">
<dpi_1 value="400" color="#FF0000"/>
<dpi_2 value="800" color="#FF8000"/>
<dpi_4 value="3200" color="#0F"/>
</dpi_info>
<report_rate default_value="3"/>
<sleep_light value="5"/>
<move_closelight value="1"/>
<light_info>
<light_1 enable="1"/>
<light_3 enable="1"/>
<light_4 enable="0"/>
</light_info>
</mouse_info>
</mouse>
)";

class DescriptionTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string path = dir / "flag.xml";
    void Write(const std::string& xml) { TempDir::WriteFile(path, xml); }
};

TEST_F(DescriptionTest, LoadsEverySection) {
    Write(kFull);
    DeviceDescription d;
    ASSERT_TRUE(LoadDeviceDescription(path, d));
    EXPECT_EQ(d.picture, u"device/flag_top.png");
    EXPECT_TRUE(d.lighting);
    EXPECT_TRUE(d.showDpiTips);
    EXPECT_FALSE(d.showSaveTips);
    EXPECT_TRUE(d.showLiftOff);
    EXPECT_FALSE(d.showSensor);  // 2 is not a flag
    EXPECT_EQ(d.firmwareUrl, u"fw/flag/");
    ASSERT_EQ(d.buttons.size(), 3u);
    EXPECT_EQ(d.buttons[0].nameText, 301);
    EXPECT_EQ(d.buttons[0].name, u"301");
    EXPECT_EQ(d.buttons[0].hotspot, (HotspotLine{10, 80, 35}));
    EXPECT_EQ(d.buttons[0].descriptionText, 401);
    EXPECT_EQ(d.buttons[1].direction, 1);
    EXPECT_EQ(d.buttons[1].hotspot, (HotspotLine{0, 0, 10}));
    EXPECT_EQ(d.buttons[1].functionValue, 2);
    EXPECT_EQ(d.buttons[2].hotspot, (HotspotLine{10, 0, 80}));
    EXPECT_EQ(d.buttons[2].functionType, 0);
    EXPECT_EQ(d.buttons[2].description, u"");
    EXPECT_EQ(d.lightModes, (std::array<bool, 6>{true, false, true, false, false, false}));
}

TEST_F(DescriptionTest, MissingElementsKeepThePreviousModelsValues) {
    DeviceDescription d;
    d.picture = u"device/old.png";
    d.lighting = false;
    d.showDpiTips = false;
    d.firmwareUrl = u"old/";
    d.buttons.resize(5);
    d.lightModes = {true, true, true, true, true, true};
    Write(
        "<mouse><mouse_info><light_info><light_2 enable=\"0\"/></light_info></mouse_info>"
        "</mouse>");
    ASSERT_TRUE(LoadDeviceDescription(path, d));
    EXPECT_EQ(d.picture, u"device/old.png");
    EXPECT_FALSE(d.lighting);
    EXPECT_FALSE(d.showDpiTips);
    EXPECT_EQ(d.firmwareUrl, u"old/");
    EXPECT_EQ(d.buttons.size(), 5u);
    EXPECT_EQ(d.lightModes, (std::array<bool, 6>{true, false, true, true, true, true}));
}

TEST_F(DescriptionTest, ElementsOutOfOrderAreNotSeen) {
    // custom is found first, so the reader has moved past mouse_key, which stands before
    // it, and past menu.
    Write(
        "<mouse><menu light=\"0\"/><mouse_key><key key_value=\"7\"/></mouse_key>"
        "<custom show_savetips=\"0\"/><image_file mouse_img=\"late.png\"/></mouse>");
    DeviceDescription d;
    ASSERT_TRUE(LoadDeviceDescription(path, d));
    EXPECT_EQ(d.picture, u"device/late.png");  // the first element looked for, found anywhere
    EXPECT_TRUE(d.lighting);                   // menu stood before image_file
    EXPECT_TRUE(d.showSaveTips);               // and so did custom
    EXPECT_TRUE(d.buttons.empty());
}

TEST_F(DescriptionTest, UnusableFileChangesNothing) {
    DeviceDescription d;
    d.firmwareUrl = u"keep";
    for (const char* bytes : {"", "<mouse>", "<device/>", "<mouse/><mouse/>", "garbage"}) {
        Write(bytes);
        EXPECT_FALSE(LoadDeviceDescription(path, d)) << bytes;
        EXPECT_EQ(d.firmwareUrl, u"keep");
    }
    EXPECT_FALSE(LoadDeviceDescription(dir / "none.xml", d));
}

TEST_F(DescriptionTest, DefaultsInStoringOrder) {
    Write(kFull);
    const SettingValues expected = {
        {"dpi_index", u"1"},          {"dpi_flag", u"4"},
        {"dpi_count", u"4"},          {"dpi_group0_value", u"400"},
        {"dpi_group0_rgb", u"255"},   {"dpi_group1_value", u"800"},
        {"dpi_group1_rgb", u"33023"}, {"dpi_group3_value", u"3200"},
        {"dpi_group3_rgb", u"15"},    {"report_rate", u"3"},
        {"sleep_light", u"5"},        {"move_closelight", u"1"},
    };
    EXPECT_EQ(ReadDescriptionDefaults(path, false), expected);
    const SettingValues dpiOnly(expected.begin(), expected.begin() + 9);
    EXPECT_EQ(ReadDescriptionDefaults(path, true), dpiOnly);
}

TEST_F(DescriptionTest, ReportRateDefaultGoesToBothKeys) {
    Write(kFull);
    EXPECT_EQ(ReadReportRateDefault(path),
              (SettingValues{{"report_rate", u"3"}, {"report_rate_wireless", u"3"}}));
    Write("<mouse><mouse_info/></mouse>");
    EXPECT_TRUE(ReadReportRateDefault(path).empty());
    EXPECT_TRUE(ReadDescriptionDefaults(path, false).empty());
}

TEST_F(DescriptionTest, PathFollowsTheDeviceAttribute) {
    EXPECT_EQ(DescriptionFilePath("/usr/share/quillora/", u"flag"),
              "/usr/share/quillora/device/flag.xml");
}

}  // namespace
}  // namespace quillora
