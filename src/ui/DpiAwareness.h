#pragma once

// Whether the process is to be DPI-aware, decided from the primary screen's size in
// pixels and, for a 1920 x 1080 screen only, the monitor's effective DPI. Qt scales on
// its own on Linux, so nothing is switched by the answer; it is traced at start-up and
// kept as a function so the rule stays checked.

namespace quillora::ui {

enum class MonitorDpiQuery {
    Answered,     // the effective DPI is known
    NoMonitor,    // no monitor at the screen's origin: not high-DPI
    Unavailable,  // the DPI cannot be asked for: taken as 96
    Failed,       // the query itself failed: not high-DPI, and the user is told
};

struct MonitorDpi {
    MonitorDpiQuery query = MonitorDpiQuery::Unavailable;
    int horizontalDpi = 96;  // meaningful when query is Answered
};

// 144, 168 and 192 (150 %, 175 %, 200 %) are high-DPI; 120 (125 %) and all else are not.
bool IsHighDpiMonitor(const MonitorDpi& monitor);

struct DpiDecision {
    bool dpiAware = false;
    // The monitor was asked and the query failed: show "GetDpiForMonitor failed".
    bool reportQueryFailure = false;
};

// Aware when the screen is narrower than 1400 or lower than 800 pixels, or is exactly
// 1920 x 1080 on a high-DPI monitor. The monitor is consulted only in that last case,
// so only a 1920 x 1080 screen can report a failed query.
DpiDecision DecideDpiAwareness(int screenWidth, int screenHeight, const MonitorDpi& monitor);

}  // namespace quillora::ui
