#pragma once

#include "cli/CliContext.h"

namespace quillora::cli {

// `settings`: every setting of the current profile.
int RunSettings(CliContext& context);
// `get SETTING`: one setting of the current profile.
int RunGet(CliContext& context);
// `devices`: the catalogued models with their state, and the open interfaces.
int RunDevices(CliContext& context);

}  // namespace quillora::cli
