#pragma once

// Reading config.xml: the start-up part (languages and the product key name) and the
// catalogue part (models, identities, version and web addresses). Readers only move
// forward: an element is seen only after the one found before it at the same level.

#include <string>
#include <vector>

#include "formats/DeviceCatalog.h"

namespace quillora {

struct StartupConfig {
    bool loaded = false;  // the file loaded, parsed and has a `config` root
    bool hasLanguages = false;
    int defaultLanguage = 0;     // read, but the language selection always replaces it
    std::vector<int> languages;  // available interface languages; duplicates once
    bool hasSoftware = false;
    std::u16string productKeyName;  // `software` `caption`
};

struct SoftwareInfo {
    bool found = false;
    std::u16string caption;
    std::u16string version;
    std::u16string websiteUrl;
    std::u16string feedbackUrl;
    std::u16string questionsUrl;
    std::u16string updateUrl;
};

struct CatalogConfig {
    bool loaded = false;
    DeviceCatalog catalog;
    SoftwareInfo software;
};

// config.xml in an application folder (which ends with '/').
std::string ConfigFilePath(const std::string& applicationFolder);

StartupConfig ReadStartupConfig(const std::string& configPath);

// deviceImageFolder prefixes each model's `image` (it ends with '/').
CatalogConfig ReadCatalogConfig(const std::string& configPath,
                                const std::u16string& deviceImageFolder);

}  // namespace quillora
