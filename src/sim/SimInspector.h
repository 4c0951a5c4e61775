#pragma once

// What tests look at in the simulated bus, kept apart from the HidApi seam the engine
// uses: every report written to a unit, the mouse's current settings and what its
// firmware upgrade interface received.

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/SimMouse.h"
#include "sim/SimUpgradeTarget.h"

namespace quillora::sim {

using UnitId = int;

struct WrittenReport {
    int collection = 0;               // index among the unit's collections (0 = configuration)
    std::vector<std::uint8_t> bytes;  // as the transport wrote them, report ID first
};

class SimInspector {
  public:
    virtual ~SimInspector() = default;
    virtual std::vector<WrittenReport> Written(UnitId unit) const = 0;
    virtual void ClearWritten() = 0;
    // Nothing for a unit that is not plugged.
    virtual std::optional<MouseSettings> SettingsOf(UnitId unit) const = 0;
    virtual int OpenHandles() const = 0;
    // Input reports waiting on a unit's configuration collection.
    virtual int PendingInput(UnitId unit) const = 0;
    // What the unit's upgrade interface received; kept after the unit is pulled or
    // vanished. Nothing for a unit without one.
    virtual std::optional<UpgradeRecord> UpgradeRecordOf(UnitId unit) const = 0;
};

}  // namespace quillora::sim
