#include "app/LanguageSelection.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/SettingsRegistry.h"

namespace quillora {
namespace {

bool Contains(const std::vector<int>& languages, int language) {
    return std::find(languages.begin(), languages.end(), language) != languages.end();
}

struct LocaleLanguage {
    const char* locale;  // "ll" or "ll_CC"
    int language;
};

// Full names first win over the bare language, so list regions before the fallback.
constexpr LocaleLanguage kLocales[] = {
    {"zh_CN", 2052}, {"zh_SG", 4100}, {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_MO", 5124},
    {"zh", 2052},    {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"en", 1033},
    {"ja", 1041},    {"ko", 1042},    {"uk", 1058},    {"pl", 1045},    {"de", 1031},
    {"fr_CA", 3084}, {"fr", 1036},    {"es_MX", 2058}, {"es", 3082},    {"it", 1040},
    {"ru", 1049},    {"pt_BR", 1046}, {"pt", 2070},    {"nl", 1043},    {"tr", 1055},
    {"cs", 1029},    {"sv", 1053},    {"da", 1030},    {"fi", 1035},    {"nb", 1044},
    {"hu", 1038},    {"el", 1032},    {"he", 1037},    {"ar", 1025},    {"th", 1054},
    {"vi", 1066},    {"id", 1057},    {"ro", 1048},    {"bg", 1026},    {"sk", 1051},
};

}  // namespace

int SelectStartupLanguage(SettingsRegistry& registry, const std::vector<int>& available,
                          int userDefaultLanguage) {
    int language = registry.ReadLanguage();
    if (language == 0) {
        language = userDefaultLanguage;
        registry.WriteLanguage(Contains(available, language) ? language : kEnglishLanguage);
    }
    if (!Contains(available, language)) {
        registry.WriteLanguage(kEnglishLanguage);
        language = kEnglishLanguage;
    }
    return language;
}

int LanguageIdFromLocale(std::string_view locale) {
    // Drop ".codeset" and "@modifier".
    const size_t cut = locale.find_first_of(".@");
    if (cut != std::string_view::npos) {
        locale = locale.substr(0, cut);
    }
    const std::string_view lang = locale.substr(0, locale.find('_'));
    for (const LocaleLanguage& entry : kLocales) {
        const std::string_view name = entry.locale;
        if (name == locale || (name == lang && name.find('_') == std::string_view::npos)) {
            // A region-specific row must match in full; a bare row matches any region
            // not listed before it.
            return entry.language;
        }
    }
    return kEnglishLanguage;
}

int UserDefaultUiLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return LanguageIdFromLocale(value);
        }
    }
    return kEnglishLanguage;
}

}  // namespace quillora
