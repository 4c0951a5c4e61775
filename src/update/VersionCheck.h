#pragma once

// Asking an update server for its newest version and judging the answer: the
// network half of the application and firmware version checks.

#include <string>
#include <string_view>

#include "update/Http.h"

namespace quillora {

enum class VersionVerdict {
    NoAnswer,     // failed request or not a version text: leave the display as it is
    Newer,        // the server's version is newer (or has a different number of parts)
    NotNewer,     // same or older
    NotCompared,  // firmware only: the mouse's version is not known yet
};

struct VersionCheck {
    HttpResult fetch = HttpResult::Failed;
    std::string newest;  // the accepted version text; empty when there is none
    VersionVerdict verdict = VersionVerdict::NoAnswer;
};

// Fetches "<address>version" and compares an answer of up to 10 characters with the
// running version.
VersionCheck QueryAppVersion(std::string_view address, std::string_view running,
                             const HttpOptions& options = {});

// Fetches "<address>/mouse/version" and compares an answer of up to 9 characters with
// the mouse's firmware version, when that is known.
VersionCheck QueryFirmwareVersion(std::string_view address, std::string_view mouseVersion,
                                  const HttpOptions& options = {});

}  // namespace quillora
