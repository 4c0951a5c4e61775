#include "protocol/Notification.h"

#include "app/Trace.h"
#include "device/ReportFrame.h"

namespace quillora {

std::optional<Notification> DecodeNotification(std::span<const std::uint8_t> report) {
    if (report.empty() || report[0] == 0) {
        return std::nullopt;
    }
    auto at = [&](std::size_t i) -> std::uint8_t { return i < report.size() ? report[i] : 0; };
    Trace(TraceLevel::Debug, "mouse notify data: %02X %02X %02X %02X %02X %02X", at(0), at(1),
          at(2), at(3), at(4), at(5));
    if (report[0] == kConnectionReport) {
        return ConnectionNotification{at(1) == 1, at(2), at(3)};
    }
    if (report[0] == kDpiReport) {
        const int count = at(1) & 0x0F;
        const int level = at(1) >> 4;
        if (count < 1 || count > 6 || level >= count) {
            Trace(TraceLevel::Warning, "DPI report ignored: %d levels, level %d", count, level);
            return std::nullopt;
        }
        return DpiNotification{count, level};
    }
    return std::nullopt;
}

}  // namespace quillora
