#pragma once

// The program's own small settings ("LCID", "DeviceType", "exit_mode",
// "autorun_minimize"): decimal texts in one file, settings.reg, in the settings folder.
// The file plays the part of a registry key: it is created by the first read that finds
// it missing, writes only go to an existing file, and nothing is cached, so every call
// reads the file again. Writes replace the file atomically (temporary file, sync,
// rename) under an advisory lock, so a crash never leaves it half written and two
// processes never lose each other's values.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace quillora {

class SettingsRegistry {
  public:
    // folder: the settings folder (see ConfigFolder), with or without trailing '/'.
    explicit SettingsRegistry(std::string folder);

    // "LCID". A missing key is created and reads 0; when the key can be neither opened
    // nor created the result is 2052.
    int ReadLanguage();
    // "DeviceType". Never creates the key; 0 on any failure.
    int ReadDeviceType();
    // Any value name ("exit_mode", "autorun_minimize"); a missing key is created.
    int ReadInt(std::string_view name);

    // Writes go only to an existing key; failure is silent for callers, reported here
    // as false for tests.
    bool WriteLanguage(int language);
    bool WriteDeviceType(int deviceType);
    bool WriteString(std::string_view name, std::string_view text);

    const std::string& FilePath() const { return path_; }

  private:
    enum class Missing { Create, Fail };
    struct Read {
        bool opened = false;  // the key could be opened (or was just created)
        bool failed = false;  // neither opening nor creating worked
        std::optional<std::string> value;
    };
    Read ReadValue(std::string_view name, Missing missing);

    std::string folder_;
    std::string path_;
    std::mutex mutex_;  // one read-modify-write at a time within the process
};

}  // namespace quillora
