#include "device/DevicePathIds.h"

#include <vector>

namespace quillora {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos)
            break;
        start = at + 1;
    }
    return parts;
}

std::optional<int> ParseHex(std::string_view digits, size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    long long value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + d;
    }
    if (value > 0x7FFFFFFF)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> ParseDecimal(std::string_view digits) {
    if (digits.empty() || digits.size() > 3)
        return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "0003:1209:0001.0004": bus, vendor, product and the kernel's instance number.
std::optional<DevicePathIds> ParseHidDeviceName(std::string_view name) {
    const size_t dot = name.find('.');
    if (dot == std::string_view::npos || !ParseHex(name.substr(dot + 1), 8))
        return std::nullopt;
    const auto fields = Split(name.substr(0, dot), ':');
    if (fields.size() != 3)
        return std::nullopt;
    const auto bus = ParseHex(fields[0], 4);
    const auto vendor = ParseHex(fields[1], 4);
    const auto product = ParseHex(fields[2], 4);
    if (!bus || !vendor || !product)
        return std::nullopt;
    DevicePathIds ids;
    ids.bus = *bus;
    ids.vendorId = *vendor;
    ids.productId = *product;
    return ids;
}

// "1-2:1.2" or "3-1.4.2:1.0": a USB port path, then configuration.interface.
std::optional<int> ParseUsbInterfaceName(std::string_view name) {
    const size_t colon = name.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    const auto port = name.substr(0, colon);
    if (port.find_first_not_of("0123456789-.") != std::string_view::npos)
        return std::nullopt;
    const auto rest = Split(name.substr(colon + 1), '.');
    if (rest.size() != 2 || !ParseDecimal(rest[0]))
        return std::nullopt;
    return ParseDecimal(rest[1]);
}

}  // namespace

std::optional<DevicePathIds> ParseHidrawDevicePath(std::string_view devpath) {
    const auto parts = Split(devpath, '/');
    // The HID device is the component right before ".../hidraw/hidrawN".
    for (size_t i = 0; i + 2 < parts.size(); ++i) {
        if (parts[i + 1] != "hidraw" || parts[i + 2].substr(0, 6) != "hidraw")
            continue;
        std::optional<DevicePathIds> ids = ParseHidDeviceName(parts[i]);
        if (!ids)
            return std::nullopt;
        if (i > 0) {
            if (const auto number = ParseUsbInterfaceName(parts[i - 1])) {
                ids->interfaceNumber = *number;
            }
        }
        return ids;
    }
    return std::nullopt;
}

std::optional<DevicePathIds> ParseHidIdProperty(std::string_view hidId) {
    const auto fields = Split(hidId, ':');
    if (fields.size() != 3)
        return std::nullopt;
    const auto bus = ParseHex(fields[0], 8);
    const auto vendor = ParseHex(fields[1], 8);
    const auto product = ParseHex(fields[2], 8);
    if (!bus || !vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
        return std::nullopt;
    }
    DevicePathIds ids;
    ids.bus = *bus;
    ids.vendorId = *vendor;
    ids.productId = *product;
    return ids;
}

}  // namespace quillora
