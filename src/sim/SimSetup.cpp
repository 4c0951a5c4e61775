#include "sim/SimSetup.h"

#include <charconv>

namespace quillora::sim {
namespace {

std::optional<long> Decimal(std::string_view text, long max) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > max) {
        return std::nullopt;
    }
    return value;
}

SimSetupResult Fail(std::string message) {
    return {std::nullopt, std::move(message)};
}

}  // namespace

SimSetupResult ParseSimSetup(std::string_view text) {
    SimSetup setup;
    const auto colon = text.find(':');
    const std::string_view links = text.substr(0, colon);
    if (links == "cable") {
        setup.cable = true;
    } else if (links == "receiver") {
        setup.receiver = true;
    } else if (links == "cable+receiver" || links == "receiver+cable") {
        setup.cable = setup.receiver = true;
    } else {
        return Fail("expected cable, receiver or cable+receiver, not '" + std::string(links) + "'");
    }
    if (colon == std::string_view::npos) {
        return {setup, {}};
    }
    std::string_view rest = text.substr(colon + 1);
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        const auto eq = item.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            return Fail("expected key=value, not '" + std::string(item) + "'");
        }
        const std::string_view key = item.substr(0, eq);
        const std::string_view value = item.substr(eq + 1);
        auto byte = [&](std::optional<std::uint8_t>& out) {
            auto v = Decimal(value, 255);
            if (v) {
                out = static_cast<std::uint8_t>(*v);
            }
            return v.has_value();
        };
        bool ok = true;
        if (key == "model") {
            setup.model = std::string(value);
            ok = !value.empty();
        } else if (key == "sensor") {
            ok = byte(setup.sensor);
        } else if (key == "rate_cap") {
            ok = byte(setup.rate_capability);
        } else if (key == "battery") {
            ok = byte(setup.battery);
        } else if (key == "firmware") {
            unsigned v = 0;
            auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v, 16);
            ok = value.size() == 4 && ec == std::errc() && end == value.data() + value.size();
            if (ok) {
                setup.firmware = std::array<std::uint8_t, 2>{static_cast<std::uint8_t>(v >> 8),
                                                             static_cast<std::uint8_t>(v & 0xFF)};
            }
        } else if (key == "mouse") {
            ok = value == "on" || value == "off";
            setup.mouse_on = value != "off";
        } else if (key == "nak") {
            auto v = Decimal(value, 1000000);
            ok = v.has_value();
            setup.nak = static_cast<int>(v.value_or(0));
        } else if (key == "delay_ms") {
            auto v = Decimal(value, 60000);
            ok = v.has_value();
            setup.delay = std::chrono::milliseconds(v.value_or(0));
        } else {
            return Fail("unknown key '" + std::string(key) + "'");
        }
        if (!ok) {
            return Fail("bad value for " + std::string(key) + ": '" + std::string(value) + "'");
        }
    }
    return {setup, {}};
}

void ApplySetupIdentity(const SimSetup& setup, MouseSettings& settings) {
    if (setup.sensor) {
        settings.sensor = *setup.sensor;
    }
    if (setup.rate_capability) {
        settings.rate_capability = *setup.rate_capability;
    }
    if (setup.battery) {
        settings.battery_a = *setup.battery;
    }
    if (setup.firmware) {
        settings.firmware = *setup.firmware;
    }
}

}  // namespace quillora::sim
