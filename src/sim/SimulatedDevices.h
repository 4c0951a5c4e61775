#pragma once

// Plugging the devices a `--simulate` setup names into a bus: the chosen model's cable
// and/or receiver identity from the catalogue, one mouse behind them whose settings
// persist in a file, so a sequence of runs sees the same mouse. The setup's identity
// keys (sensor, capability, battery, firmware) apply afresh on every run.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimBus.h"
#include "sim/SimSetup.h"

namespace quillora::sim {

// One catalogued USB identity, as plain values.
struct SimIdentity {
    std::string modelAttr;  // the model's device_attr
    int deviceType = 0;
    int linkKind = 0;  // 0 cable, 1 receiver
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::u16string modelCode;
};

struct SimulatedDevices {
    std::shared_ptr<SimMouse> mouse;
    std::optional<UnitId> cable;
    std::optional<UnitId> receiver;
    std::string modelAttr;
    std::string error;  // set when the setup cannot be served by the catalogue
};

// `identities` in catalogue order; the default model is the one of device type 101.
// The mouse's settings persist in `persistFolder`/simulated-<device_attr>.mouse (an
// empty folder: they do not persist).
SimulatedDevices PlugSimulatedDevices(SimBus& bus, const SimSetup& setup,
                                      const std::vector<SimIdentity>& identities,
                                      const std::string& persistFolder);

}  // namespace quillora::sim
