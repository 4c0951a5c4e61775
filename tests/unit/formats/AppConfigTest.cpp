#include "formats/AppConfig.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace quillora {
namespace {

using testing::TempDir;

class AppConfigTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string path = dir / "config.xml";
    void Write(const std::string& xml) { TempDir::WriteFile(path, xml); }
};

const char* kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
<language.info default_lan="1033">
<lan value="1033"/>
<lan value="2052"/>
<lan value="1033"/>
</language.info>
<device>
<mouse name="Flagship" device_type="101" device_attr="flag" image="flag.png">
<mode value="0" desc="cable" vid="0x1209" pid="0001" dev_id="QF01" hid_interface="2"/>
<mode value="1" desc="receiver" vid="1209" pid="0x0A12" dev_id="QF01" hid_interface="2"/>
</mouse>
<mouse name="Lite" device_type="102" device_attr="lite" image="lite.png">
<mode value="0" vid="1209" pid="0003" dev_id="QL02"/>
</mouse>
</device>
<software caption="Quillora" version="1.2.3">
<website url="https://w"/>
<feedback url="https://f"/>
<other url="ignored"/>
<qa url="https://q"/>
<upgrade url="https://u/"/>
</software>
</config>
)";

TEST_F(AppConfigTest, StartupReadingTakesLanguagesAndProductName) {
    Write(kConfig);
    const StartupConfig config = ReadStartupConfig(path);
    EXPECT_TRUE(config.loaded);
    EXPECT_EQ(config.defaultLanguage, 1033);
    EXPECT_EQ(config.languages, (std::vector<int>{1033, 2052}));
    EXPECT_EQ(config.productKeyName, u"Quillora");
}

TEST_F(AppConfigTest, CatalogueKeepsDocumentOrderAndParsesIds) {
    Write(kConfig);
    const CatalogConfig config = ReadCatalogConfig(path, u"/skins/dark/device/");
    ASSERT_TRUE(config.loaded);
    const DeviceCatalog& catalog = config.catalog;
    ASSERT_EQ(catalog.models.size(), 2u);
    EXPECT_EQ(catalog.models[0].name, u"Flagship");
    EXPECT_EQ(catalog.models[0].deviceType, 101);
    EXPECT_EQ(catalog.models[0].deviceAttr, u"flag");
    EXPECT_EQ(catalog.models[0].imagePath, u"/skins/dark/device/flag.png");
    ASSERT_EQ(catalog.identities.size(), 3u);
    EXPECT_EQ(catalog.identities[0].vendorId, 0x1209);
    EXPECT_EQ(catalog.identities[0].productId, 0x0001);
    EXPECT_EQ(catalog.identities[0].linkKind, 0);
    EXPECT_EQ(catalog.identities[0].modelCode, u"QF01");
    EXPECT_EQ(catalog.identities[0].description, u"cable");
    EXPECT_EQ(catalog.identities[0].interfaceText, u"2");
    EXPECT_EQ(catalog.identities[1].productId, 0x0A12);
    EXPECT_EQ(catalog.identities[1].linkKind, 1);
    EXPECT_EQ(catalog.identities[2].model.deviceType, 102);
    EXPECT_EQ(catalog.identities[2].description, u"");  // missing attributes read empty
    EXPECT_EQ(catalog.FindModel(102)->deviceAttr, u"lite");
    EXPECT_EQ(catalog.FindModel(999), nullptr);
    EXPECT_EQ(config.software.version, u"1.2.3");
    EXPECT_EQ(config.software.websiteUrl, u"https://w");
    EXPECT_EQ(config.software.feedbackUrl, u"https://f");
    EXPECT_EQ(config.software.questionsUrl, u"https://q");
    EXPECT_EQ(config.software.updateUrl, u"https://u/");
}

TEST_F(AppConfigTest, ReadersOnlyMoveForward) {
    // software before device: the catalogue reading never sees it; the start-up
    // reading finds it because it looks for software after language.info only.
    Write(R"(<config><software caption="Early" version="9"/><device>
<mouse name="M" device_type="101" device_attr="m"><mode vid="1" pid="2"/></mouse>
</device><language.info><lan value="2052"/></language.info></config>)");
    const CatalogConfig catalog = ReadCatalogConfig(path, u"");
    EXPECT_EQ(catalog.catalog.models.size(), 1u);
    EXPECT_FALSE(catalog.software.found);
    const StartupConfig startup = ReadStartupConfig(path);
    EXPECT_TRUE(startup.hasLanguages);
    EXPECT_EQ(startup.languages, std::vector<int>{2052});
    EXPECT_FALSE(startup.hasSoftware);  // it stands before language.info
    // Web addresses in the wrong order: the later-read one is not seen.
    Write(R"(<config><software><qa url="q"/><website url="w"/></software></config>)");
    const CatalogConfig urls = ReadCatalogConfig(path, u"");
    EXPECT_EQ(urls.software.websiteUrl, u"w");
    EXPECT_EQ(urls.software.questionsUrl, u"");
}

TEST_F(AppConfigTest, UnusableFilesLeaveEverythingEmpty) {
    const std::string cases[] = {
        "",
        "<config>",                        // unended root
        "<settings><device/></settings>",  // wrong root
        "<config/><config/>",              // two roots
        "\xEF\xBB\xBF<conf",               // truncated
        "<config><device></config>",       // device never ended: ill formed
    };
    for (const std::string& bytes : cases) {
        Write(bytes);
        const CatalogConfig config = ReadCatalogConfig(path, u"");
        EXPECT_FALSE(config.loaded) << bytes;
        EXPECT_TRUE(config.catalog.models.empty());
        EXPECT_TRUE(config.catalog.identities.empty());
        EXPECT_FALSE(ReadStartupConfig(path).loaded) << bytes;
    }
    EXPECT_FALSE(ReadCatalogConfig(dir / "missing.xml", u"").loaded);
}

TEST_F(AppConfigTest, Utf16FileWithMarkReadsTheSame) {
    const std::string utf8 = "<config><software caption=\"Quillora\"/></config>";
    std::string utf16 = "\xFF\xFE";
    for (char c : utf8) {
        utf16 += c;
        utf16 += '\0';
    }
    Write(utf16);
    EXPECT_EQ(ReadStartupConfig(path).productKeyName, u"Quillora");
}

TEST_F(AppConfigTest, HugeAndInvalidAttributeValuesDoNotBreakReading) {
    const std::string huge(200000, 'x');
    Write("<config><device><mouse name=\"" + huge +
          "\" device_type=\"99999999999\" device_attr=\"\xC3\x28\"><mode vid=\"zz\" pid=\"" + huge +
          "\"/></mouse></device></config>");
    const CatalogConfig config = ReadCatalogConfig(path, u"");
    ASSERT_EQ(config.catalog.models.size(), 1u);
    EXPECT_EQ(config.catalog.models[0].name.size(), huge.size());
    EXPECT_EQ(config.catalog.identities[0].vendorId, 0);
}

}  // namespace
}  // namespace quillora
