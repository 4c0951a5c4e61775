#pragma once

// Which stored setting texts can reach the mouse as they are. The device writes parse a
// setting with the plain decimal conversion and put it into a fixed-width field, so a
// text that is not a decimal integer goes out as 0 and one past the field's width goes
// out cut. Profile import uses this to keep such texts out of the store.
//
// The ranges are those of the wire fields, not of the page controls: the program itself
// stores values no control offers (the default sensor_flag 53).

#include <string_view>

namespace quillora {

struct SettingRange {
    int min = 0;
    int max = 0;
    bool operator==(const SettingRange&) const = default;
};

// For the settings the mouse is sent (the Windows pointer options, such as
// doubleclick_time, never are): dpi_count 1-6; dpi_index 0-5; the level values dpi_group<N>_value
// 0-65535; the colours dpi_group<N>_rgb 0-16777215 (0x00BBGGRR); every other key 0-255.
SettingRange SendableRange(std::string_view key);

// True when `value` is one or more ASCII digits (no blank, no sign) whose number lies in
// SendableRange(key). An empty text is not sendable.
bool IsSendableSettingValue(std::string_view key, std::u16string_view value);

}  // namespace quillora
