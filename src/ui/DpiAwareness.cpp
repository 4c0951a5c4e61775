#include "ui/DpiAwareness.h"

namespace quillora::ui {

bool IsHighDpiMonitor(const MonitorDpi& monitor) {
    int dpi = 96;
    switch (monitor.query) {
        case MonitorDpiQuery::NoMonitor:
        case MonitorDpiQuery::Failed:
            return false;
        case MonitorDpiQuery::Unavailable:
            dpi = 96;
            break;
        case MonitorDpiQuery::Answered:
            dpi = monitor.horizontalDpi;
            break;
    }
    return dpi == 144 || dpi == 168 || dpi == 192;
}

DpiDecision DecideDpiAwareness(int screenWidth, int screenHeight, const MonitorDpi& monitor) {
    DpiDecision decision;
    if (screenWidth < 1400 || screenHeight < 800) {
        decision.dpiAware = true;
        return decision;
    }
    if (screenWidth == 1920 && screenHeight == 1080) {
        decision.reportQueryFailure = monitor.query == MonitorDpiQuery::Failed;
        decision.dpiAware = IsHighDpiMonitor(monitor);
    }
    return decision;
}

}  // namespace quillora::ui
