#pragma once

// Preparing the open database's profiles whenever a model's configuration is loaded:
// a fresh database gets its four profiles with the model's description defaults, one
// profile is always active, the session's current profile follows it, and every
// profile has its default lighting rows.

#include <functional>
#include <string>

#include "device/DeviceContext.h"

namespace quillora {

// Interface text lookup (text 61 names the default profiles).
using TextLookup = std::function<std::u16string(int number)>;

inline constexpr int kTextProfile = 61;

// Runs on the worker. Returns the current profile (0 when none could be made active).
int InitialiseProfiles(DeviceContext& context, const TextLookup& text);

}  // namespace quillora
