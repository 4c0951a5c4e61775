#pragma once

// Choosing the interface language at start-up. Languages are Windows language
// identifiers (1033 English, 2052 Simplified Chinese, ...), as the language files and
// the stored "LCID" value name them.

#include <string_view>
#include <vector>

namespace quillora {

class SettingsRegistry;

constexpr int kEnglishLanguage = 1033;

// The stored language when config.xml still lists it; on a first start the user's
// interface language when listed, else English. The choice is stored.
int SelectStartupLanguage(SettingsRegistry& registry, const std::vector<int>& available,
                          int userDefaultLanguage);

// The language identifier of a POSIX locale name such as "zh_CN.UTF-8" or "de_DE@euro";
// 1033 for "C", "POSIX", empty or unknown names.
int LanguageIdFromLocale(std::string_view locale);

// The user's interface language, from LC_ALL, LC_MESSAGES or LANG (first one set).
int UserDefaultUiLanguage();

}  // namespace quillora
