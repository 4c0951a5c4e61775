#pragma once

// The reports the mouse and its receiver send on their own: the receiver's connection
// report (0xC0, with battery values) and the mouse's DPI report (0xC2) when the user
// presses its DPI button. Bytes are as read, report ID removed.

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace quillora {

struct ConnectionNotification {
    bool connected = false;      // byte 1 == 1
    std::uint8_t battery_a = 0;  // 0: no battery information
    std::uint8_t battery_b = 0;
    friend bool operator==(const ConnectionNotification&, const ConnectionNotification&) = default;
};

struct DpiNotification {
    int level_count = 0;     // 1 to 6
    int selected_level = 0;  // below level_count
    friend bool operator==(const DpiNotification&, const DpiNotification&) = default;
};

using Notification = std::variant<ConnectionNotification, DpiNotification>;

// The notification a report carries, or nothing: an empty or zero-led report, any other
// report code (traced), and a DPI report whose level count is not 1-6 or whose selected
// level is not below the count (traced: storing it would select a level the DPI page
// does not show).
std::optional<Notification> DecodeNotification(std::span<const std::uint8_t> report);

}  // namespace quillora
