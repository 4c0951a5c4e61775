#pragma once

// The text form of a simulated setup, as `--simulate` takes it:
//   cable | receiver | cable+receiver [ ":" key=value ("," key=value)* ]
// with the keys model, sensor, rate_cap, battery (decimal bytes), firmware (four hex
// digits), mouse (on|off), nak and delay_ms (decimal counts). Which USB identities a
// model has is the catalogue's business; this only carries the name.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/SimMouse.h"

namespace quillora::sim {

struct SimSetup {
    bool cable = false;
    bool receiver = false;
    std::string model;  // empty: the catalogue's default model
    std::optional<std::uint8_t> sensor;
    std::optional<std::uint8_t> rate_capability;
    std::optional<std::uint8_t> battery;
    std::optional<std::array<std::uint8_t, 2>> firmware;
    bool mouse_on = true;
    int nak = 0;  // commands to refuse once the caller arms them
    std::chrono::milliseconds delay{0};

    friend bool operator==(const SimSetup&, const SimSetup&) = default;
};

struct SimSetupResult {
    std::optional<SimSetup> setup;
    std::string error;  // what was wrong, when setup is empty
};

SimSetupResult ParseSimSetup(std::string_view text);

// Puts the identity keys the setup gives (sensor, capability, battery, firmware) into a
// mouse's settings; the rest stays. They apply afresh on every run, over what persisted.
void ApplySetupIdentity(const SimSetup& setup, MouseSettings& settings);

}  // namespace quillora::sim
