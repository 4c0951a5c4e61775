#include "exchange/SettingLimits.h"

namespace quillora {
namespace {

bool IsDpiGroupKey(std::string_view key, std::string_view suffix) {
    constexpr std::string_view kPrefix = "dpi_group";
    if (key.size() != kPrefix.size() + 1 + suffix.size() || !key.starts_with(kPrefix) ||
        !key.ends_with(suffix)) {
        return false;
    }
    const char group = key[kPrefix.size()];
    return group >= '0' && group <= '9';
}

}  // namespace

SettingRange SendableRange(std::string_view key) {
    if (key == "dpi_count") {
        return {1, 6};
    }
    if (key == "dpi_index") {
        return {0, 5};
    }
    if (IsDpiGroupKey(key, "_value")) {
        return {0, 0xFFFF};
    }
    if (IsDpiGroupKey(key, "_rgb")) {
        return {0, 0xFFFFFF};
    }
    return {0, 0xFF};
}

bool IsSendableSettingValue(std::string_view key, std::u16string_view value) {
    if (value.empty()) {
        return false;
    }
    const SettingRange range = SendableRange(key);
    long long number = 0;
    for (char16_t c : value) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        number = number * 10 + (c - u'0');
        if (number > range.max) {
            return false;  // also keeps the sum from growing on long texts
        }
    }
    return number >= range.min;
}

}  // namespace quillora
