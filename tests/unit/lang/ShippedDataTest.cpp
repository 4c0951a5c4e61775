// Checks of the language files we ship in data/, against the text numbers the program
// uses, the languages config.xml offers and the button texts of the device descriptions.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Utf8.h"
#include "formats/AppConfig.h"
#include "formats/DeviceDescription.h"
#include "lang/LanguageFile.h"
#include "unit/lang/InterfaceTextNumbers.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;

const std::string kAppFolder = std::string(QUILLORA_SOURCE_DIR) + "/data/";

std::string ReadShippedFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<int> ConfiguredLanguages() {
    return ReadStartupConfig(ConfigFilePath(kAppFolder)).languages;
}

std::vector<std::string> CatalogueModels() {
    std::vector<std::string> models;
    for (const CatalogModel& model :
         ReadCatalogConfig(ConfigFilePath(kAppFolder), u"").catalog.models) {
        models.push_back(ToUtf8(model.deviceAttr));
    }
    return models;
}

// The buttons of a model's description, read as the program reads them.
std::vector<ButtonDefinition> Buttons(const std::string& model) {
    DeviceDescription description;
    EXPECT_TRUE(LoadDeviceDescription(kAppFolder + "device/" + model + ".xml", description))
        << model;
    return description.buttons;
}

std::u16string Text(int language, int number) {
    return LanguageFile(LanguageFilePath(kAppFolder, language)).Text(number);
}

TEST(ShippedConfig, OffersTheLanguagesWeTranslate) {
    EXPECT_EQ(ConfiguredLanguages(), (std::vector<int>{1033, 2052}));
}

TEST(ShippedConfig, EveryOfferedLanguageHasItsFileAndEveryFileIsOffered) {
    std::set<std::string> offered;
    for (int language : ConfiguredLanguages()) {
        const std::string path = LanguageFilePath(kAppFolder, language);
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
        offered.insert(fs::path(path).filename().string());
    }
    for (const auto& entry : fs::directory_iterator(kAppFolder + "language")) {
        if (entry.path().extension() == ".lan") {
            EXPECT_TRUE(offered.count(entry.path().filename().string()))
                << entry.path() << " is shipped but config.xml does not offer it";
        }
    }
}

class ShippedLanguage : public ::testing::TestWithParam<int> {};

TEST_P(ShippedLanguage, HasEveryTextTheProgramUses) {
    std::string missing;
    for (const InterfaceTextNumber& t : kInterfaceTextNumbers) {
        if (Text(GetParam(), t.number).empty()) {
            missing += "\n  " + std::to_string(t.number) + " (" + t.use + ")";
        }
    }
    EXPECT_TRUE(missing.empty()) << "texts missing from " << GetParam() << ".lan:" << missing;
}

TEST_P(ShippedLanguage, HasTheButtonTextsOfEveryDescription) {
    std::string missing;
    for (const std::string& model : CatalogueModels()) {
        for (const ButtonDefinition& button : Buttons(model)) {
            for (const int number : {button.nameText, button.descriptionText}) {
                if (Text(GetParam(), number).empty()) {
                    missing += "\n  " + std::to_string(number) + " (key " +
                               std::to_string(button.keyValue) + " in " + model + ".xml)";
                }
            }
        }
    }
    EXPECT_TRUE(missing.empty()) << "texts missing from " << GetParam() << ".lan:" << missing;
}

// The code names every interface text it looks up with a constant "kText... = N". This
// collects them all from the sources, so a lookup added anywhere is checked here too.
std::vector<std::pair<int, std::string>> TextNumbersNamedInTheCode() {
    std::vector<std::pair<int, std::string>> found;
    const std::regex constant("(kText[A-Za-z0-9_]*)\\s*=\\s*([0-9]+)");
    for (const auto& entry :
         fs::recursive_directory_iterator(std::string(QUILLORA_SOURCE_DIR) + "/src")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const std::string text = ReadShippedFile(entry.path());
        for (auto m = std::sregex_iterator(text.begin(), text.end(), constant);
             m != std::sregex_iterator(); ++m) {
            found.emplace_back(std::stoi((*m)[2].str()),
                               (*m)[1].str() + " in " + entry.path().filename().string());
        }
    }
    return found;
}

TEST(ShippedTexts, TheScanOfTheSourcesFindsTheTextConstants) {
    // Guards the scan itself: if it found nothing, the next test would pass on nothing.
    EXPECT_GE(TextNumbersNamedInTheCode().size(), 5u);
}

TEST_P(ShippedLanguage, HasEveryTextTheCodeNames) {
    std::string missing;
    for (const auto& [number, where] : TextNumbersNamedInTheCode()) {
        if (Text(GetParam(), number).empty()) {
            missing += "\n  " + std::to_string(number) + " (" + where + ")";
        }
    }
    EXPECT_TRUE(missing.empty()) << "texts missing from " << GetParam() << ".lan:" << missing;
}

// Every entry must be found by its number: a number written twice hides the second
// text, a line that is not "number=text" is no entry at all, and bytes that are not
// UTF-8 turn into replacement characters.
TEST_P(ShippedLanguage, IsCleanUtf8WithOneEntryPerNumber) {
    const std::string bytes = ReadShippedFile(LanguageFilePath(kAppFolder, GetParam()));
    ASSERT_FALSE(bytes.empty());
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF")) << "shipped as UTF-8 without a mark";
    EXPECT_EQ(FromUtf8(bytes).find(u'\uFFFD'), std::u16string::npos) << "ill-formed UTF-8";

    const std::regex entry("([0-9]+)=(.+)");
    std::map<int, int> lineOf;
    std::istringstream lines(bytes);
    std::string line;
    bool inSection = false;
    for (int n = 1; std::getline(lines, line); ++n) {
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line == "[LAN]") {
            EXPECT_FALSE(inSection) << "second [LAN] at line " << n;
            inSection = true;
            continue;
        }
        std::smatch m;
        if (!std::regex_match(line, m, entry)) {
            ADD_FAILURE() << "line " << n << " is not number=text: " << line;
            continue;
        }
        EXPECT_TRUE(inSection) << "line " << n << " lies before [LAN]";
        const int number = std::stoi(m[1]);
        const auto [it, fresh] = lineOf.emplace(number, n);
        EXPECT_TRUE(fresh) << number << " on line " << n << " and line " << it->second;
        EXPECT_LE(FromUtf8(m[2].str()).size(), kMaxProfileStringLength)
            << number << " would be cut";
    }
    EXPECT_TRUE(inSection);
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedLanguage, ::testing::ValuesIn(ConfiguredLanguages()),
                         [](const auto& info) { return std::to_string(info.param); });

// Stored profile and macro names made from these words are shown in the current
// language, so a translation must keep exactly these words.
struct DefaultWord {
    int language;
    int number;
    std::u16string word;
};

class ShippedDefaultWord : public ::testing::TestWithParam<DefaultWord> {};

TEST_P(ShippedDefaultWord, IsTheWordTheNameRulesRecognise) {
    EXPECT_EQ(Text(GetParam().language, GetParam().number), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedDefaultWord,
                         ::testing::Values(DefaultWord{1033, 61, u"Profile"},
                                           DefaultWord{1033, 351, u"Custom"},
                                           DefaultWord{2052, 61, u"\u914d\u7f6e"},
                                           DefaultWord{2052, 351, u"\u81ea\u5b9a\u4e49"}),
                         [](const auto& info) {
                             return std::to_string(info.param.language) + "_" +
                                    std::to_string(info.param.number);
                         });

TEST(ShippedDescriptions, EveryCatalogueModelHasItsDescription) {
    const std::vector<std::string> models = CatalogueModels();
    EXPECT_GE(models.size(), 3u);
    for (const std::string& model : models) {
        const std::string description = kAppFolder + "device/" + model + ".xml";
        ASSERT_TRUE(fs::is_regular_file(description)) << model;
        // Also keeps the button-text check above from passing on a file that lists none.
        EXPECT_GE(Buttons(model).size(), 5u) << model;
    }
}

}  // namespace
}  // namespace quillora
