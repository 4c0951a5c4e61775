#include "app/LanguageSelection.h"

#include <gtest/gtest.h>
#include <optional>

#include "app/SettingsRegistry.h"
#include "support/TempDir.h"

namespace quillora {
namespace {

using testing::TempDir;

struct StartCase {
    const char* name;
    std::optional<std::string> stored;  // the "LCID" text, or no key at all
    std::vector<int> available;
    int userLanguage;
    int chosen;
    int storedAfter;
};

class StartupLanguage : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartupLanguage, ChoosesAndStores) {
    const StartCase& c = GetParam();
    TempDir dir;
    SettingsRegistry registry(dir.Path());
    if (c.stored) {
        registry.ReadLanguage();  // creates the key
        registry.WriteString("LCID", *c.stored);
    }
    EXPECT_EQ(SelectStartupLanguage(registry, c.available, c.userLanguage), c.chosen);
    EXPECT_EQ(registry.ReadLanguage(), c.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupLanguage,
    ::testing::Values(StartCase{"first_start_listed", std::nullopt, {1033, 2052}, 2052, 2052, 2052},
                      StartCase{
                          "first_start_unlisted", std::nullopt, {1033, 2052}, 1041, 1033, 1033},
                      StartCase{"stored_listed", "2052", {1033, 2052}, 1033, 2052, 2052},
                      StartCase{"stored_no_longer_listed", "1045", {1033, 2052}, 2052, 1033, 1033},
                      StartCase{"stored_not_a_number", "xyz", {1033, 2052}, 2052, 2052, 2052},
                      StartCase{"empty_list", std::nullopt, {}, 2052, 1033, 1033},
                      StartCase{"empty_list_stored", "2052", {}, 2052, 1033, 1033},
                      StartCase{"english_unlisted", std::nullopt, {2052}, 1033, 1033, 1033}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupLanguageFailure, UnreadableRegistryMeansChineseWhenListed) {
    TempDir dir;
    SettingsRegistry registry(dir.Path());
    TempDir::WriteFile(dir / "settings.reg", "");
    std::filesystem::remove(dir / "settings.reg");
    std::filesystem::create_directory(dir / "settings.reg");  // cannot be read as a file
    EXPECT_EQ(SelectStartupLanguage(registry, {1033, 2052}, 1033), 2052);
    EXPECT_EQ(SelectStartupLanguage(registry, {1033}, 2052), 1033);
}

TEST(LocaleNames, MapToLanguageIdentifiers) {
    struct Case {
        const char* locale;
        int language;
    } cases[] = {
        {"zh_CN.UTF-8", 2052}, {"zh_TW.UTF-8", 1028},
        {"zh", 2052},          {"zh_XX", 2052},
        {"en_US.UTF-8", 1033}, {"en_GB", 2057},
        {"en_NZ", 1033},       {"C", 1033},
        {"POSIX", 1033},       {"", 1033},
        {"de_DE@euro", 1031},  {"ja_JP.eucJP", 1041},
        {"ko_KR", 1042},       {"uk_UA", 1058},
        {"pl_PL", 1045},       {"fr_CA", 3084},
        {"fr_BE", 1036},       {"xx_YY", 1033},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageIdFromLocale(c.locale), c.language) << c.locale;
    }
}

TEST(LocaleNames, UserLanguageComesFromTheFirstVariableSet) {
    testing::ScopedEnv all("LC_ALL", nullptr);
    testing::ScopedEnv messages("LC_MESSAGES", "zh_CN.UTF-8");
    testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(UserDefaultUiLanguage(), 2052);
    testing::ScopedEnv all2("LC_ALL", "ja_JP.UTF-8");
    EXPECT_EQ(UserDefaultUiLanguage(), 1041);
}

}  // namespace
}  // namespace quillora
