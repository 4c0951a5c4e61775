#pragma once

// The settings every new profile starts with. The model's description file then
// overwrites the DPI, report-rate and power-saving entries through SetSetting.

#include <span>

namespace quillora {

struct DefaultSetting {
    const char* key;
    const char* value;  // decimal text for numbers; colours as the integer 0x00BBGGRR
};

// Forty entries in the order they are inserted.
std::span<const DefaultSetting> DefaultSettings();

}  // namespace quillora
