#pragma once

// The desktop program's command line.
//
// "-hide" starts with the window hidden when it occurs anywhere in the arguments, also
// inside a longer word, and only in lower case. " -autorun" (what the auto-start entry
// appends) is found the same way. Our own options and their values are taken out
// first, so a folder named "x-hide" never hides the window. Anything else is ignored,
// which also lets Qt's own options ("-platform offscreen") through.

#include <optional>
#include <string>
#include <vector>

#include "app/Folders.h"

namespace quillora::ui {

struct SendRequest {
    int message = 0;
    int param = 0;
};

struct StartupOptions {
    bool hide = false;     // "-hide"
    bool autorun = false;  // " -autorun": started by the auto-start entry
    // --simulate [DEVICES]: the simulated devices instead of real HID; the DEVICES text as
    // given ("cable", "receiver:battery=40", ...), empty for the default.
    std::optional<std::string> simulate;
    FolderOverrides folders;          // --app-dir, --data-dir, --config-dir
    std::optional<SendRequest> send;  // --send MSG PARAM: deliver and exit
};

struct ParsedCommandLine {
    StartupOptions options;
    std::string error;  // set when our own options were given wrongly
    bool Ok() const { return error.empty(); }
};

// `arguments` without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Whether the window starts hidden: "-hide", or an automatic start at log-on while the
// user chose to start minimised ("autorun_minimize" 1).
bool StartsHidden(const StartupOptions& options, int autorunMinimize);

// One line per option, for the usage message.
const char* CommandLineUsage();

}  // namespace quillora::ui
