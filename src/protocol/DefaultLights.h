#pragma once

// The lighting records a profile starts with: one per mode the model's description
// offers, mode 1 active. The lighting page, the lighting write, the full read and the
// imports all look for these rows, so the worker makes them before any of those runs.

#include <array>
#include <vector>

#include "store/DataStore.h"
#include "store/Records.h"

namespace quillora {

// The default records of `profile` for the offered modes (index 0 is `light_1`), in
// the order they are stored.
std::vector<LightRecord> DefaultLightRecords(int profile, const std::array<bool, 6>& offered);

// Adds the default records when the profile has no lighting row at all, then makes
// mode 1 active. True when it added any.
bool EnsureDefaultLights(DataStore& store, int profile, const std::array<bool, 6>& offered);

}  // namespace quillora
