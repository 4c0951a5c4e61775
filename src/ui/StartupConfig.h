#pragma once

// What start-up needs from config.xml: the product key name, which names the lock, the
// settings and data folders, the window title and the tray tip, and the languages that
// have a language file.

#include <string>
#include <vector>

namespace quillora::ui {

struct StartupConfig {
    std::u16string productKeyName;
    std::vector<int> languages;
    std::string websiteUrl;  // the title bar's link; empty opens nothing
};

}  // namespace quillora::ui
