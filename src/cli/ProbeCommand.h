#pragma once

#include "cli/CliContext.h"

namespace quillora::cli {

// `probe`: every HID interface with a configuration collection, catalogued or not, with
// its ids, path, usage, product string and, where it answers, its device information.
// This is how a user finds the identity of a mouse to add to config.xml.
int RunProbe(CliContext& context);

}  // namespace quillora::cli
