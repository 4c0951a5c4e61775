// Feeds arbitrary input reports to everything that parses what the mouse sends: the
// notification decoder, the device information record and the query reply decoders.
// Beyond not crashing, a decoded value must respect the ranges the callers rely on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/Trace.h"
#include "device/DeviceInfo.h"
#include "protocol/Notification.h"
#include "protocol/ReplyDecoders.h"

using namespace quillora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (SetTraceEnabled(false), true);
    (void)quiet;
    const std::span<const std::uint8_t> report(data, size);

    if (auto n = DecodeNotification(report)) {
        if (const auto* dpi = std::get_if<DpiNotification>(&*n)) {
            if (dpi->level_count < 1 || dpi->level_count > 6 ||
                dpi->selected_level >= dpi->level_count || dpi->selected_level < 0) {
                std::abort();
            }
        }
        if (size == 0 || (data[0] != 0xC0 && data[0] != 0xC2)) {
            std::abort();
        }
    }

    if (auto info = ParseDeviceInfo(report)) {
        if (info->model_code.size() != device_info::kModelCodeLength ||
            size < device_info::kMinimumLength) {
            std::abort();
        }
    }

    const int sensor = size > 0 ? data[size - 1] : 0;
    if (auto levels = DecodeDpiLevels(report, sensor)) {
        for (const auto& dpi : levels->dpi) {
            if (dpi && *dpi < 50) {
                std::abort();
            }
        }
    }
    DecodeDpiColors(report);
    DecodeLighting(report);
    DecodeSensorOptions(report);
    DecodePowerOptions(report);
    DecodeReportRate(report);
    if (auto version = DecodeFirmwareVersion(report)) {
        if (version->size() < 3 || version->size() > 4) {
            std::abort();
        }
    }
    return 0;
}
