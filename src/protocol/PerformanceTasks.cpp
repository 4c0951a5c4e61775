// Tasks 9 to 13 and 18: the DPI levels and colours, report rate, sensor and power
// options of the current profile, one frame each.

#include <array>
#include <string>

#include "app/MainView.h"
#include "protocol/Sensor.h"
#include "protocol/WriteFrames.h"
#include "protocol/WriteTaskSupport.h"
#include "protocol/WriteTasks.h"

namespace quillora {

using write_tasks::OnFailure;
using write_tasks::SendFrame;
using write_tasks::StoredInt;

namespace {

std::string LevelKey(int level, const char* suffix) {
    return "dpi_group" + std::to_string(level) + suffix;
}

int CurrentProfile(DeviceContext& context) {
    return context.session.Snapshot().currentProfile;
}

}  // namespace

bool WriteDpiLevels(DeviceContext& context, const WriteTaskHooks& hooks) {
    const DeviceState state = context.session.Snapshot();
    const int profile = state.currentProfile;
    std::array<int, kDpiLevelCount> dpi{};
    for (int i = 0; i < kDpiLevelCount; ++i) {
        dpi[i] = StoredInt(context, profile, LevelKey(i, "_value"));
    }
    // The limits the read took from the sensor table: a value stored under another
    // sensor, or typed past the page's bounds, still encodes to a code the mouse takes.
    SensorInfo limits;
    limits.dpi_min = state.dpiMinimum;
    limits.dpi_max = state.dpiMaximum;
    const ReportFrame frame =
        EncodeDpiLevels(state.sensorCode, limits, StoredInt(context, profile, "dpi_index"),
                        StoredInt(context, profile, "dpi_count"), dpi);
    return SendFrame(context, hooks, frame, FrameSize::Short, OnFailure::RefreshLinkState);
}

bool WriteDpiColors(DeviceContext& context, const WriteTaskHooks& hooks) {
    const int profile = CurrentProfile(context);
    std::array<int, kDpiLevelCount> colors{};
    for (int i = 0; i < kDpiLevelCount; ++i) {
        colors[i] = StoredInt(context, profile, LevelKey(i, "_rgb"));
    }
    return SendFrame(context, hooks, EncodeDpiColors(colors), FrameSize::Long,
                     OnFailure::RefreshLinkState);
}

bool WriteReportRate(DeviceContext& context, const WriteTaskHooks& hooks) {
    const int profile = CurrentProfile(context);
    return SendFrame(context, hooks, EncodeReportRate(StoredInt(context, profile, "report_rate")),
                     FrameSize::Long, OnFailure::RefreshLinkState);
}

bool WriteSensorOptions(DeviceContext& context, const WriteTaskHooks& hooks) {
    const int profile = CurrentProfile(context);
    const ReportFrame frame = EncodeSensorOptions(StoredInt(context, profile, "liftoff_height"),
                                                  StoredInt(context, profile, "sensor_flag"));
    return SendFrame(context, hooks, frame, FrameSize::Long, OnFailure::RefreshLinkState);
}

bool WritePowerOptions(DeviceContext& context, const WriteTaskHooks& hooks) {
    const int profile = CurrentProfile(context);
    const ReportFrame frame = EncodePowerOptions(StoredInt(context, profile, "sleep_light"),
                                                 StoredInt(context, profile, "move_wakeup"),
                                                 StoredInt(context, profile, "move_closelight"),
                                                 StoredInt(context, profile, "button_respondtime"));
    return SendFrame(context, hooks, frame, FrameSize::Long, OnFailure::RefreshLinkState);
}

bool ResetDpiToDefaults(DeviceContext& context, const WriteTaskHooks& hooks) {
    const DeviceState state = context.session.Snapshot();
    const int profile = state.currentProfile;
    write_tasks::ApplyDescriptionDefaults(context, profile, true);

    // The page shows the stored levels afresh; the count list and the selected level
    // follow, the level falling back to the first when the stored one is not shown.
    write_tasks::RefreshPages(context, hooks, kRefreshDpi);
    const int count = StoredInt(context, profile, "dpi_count");
    const int index = StoredInt(context, profile, "dpi_index");
    const int level = index >= 0 && index < count ? index : 0;
    context.session.Update([&](DeviceState& s) {
        s.shownDpiCount = count;
        s.shownDpiIndex = level;
    });
    context.view.ShowDpiLevelCount(count);
    const int dpi = StoredInt(context, profile, LevelKey(level, "_value"));
    context.view.SelectDpiLevel(level, DpiToSliderPosition(state.sensorCode, dpi));

    const bool levels = WriteDpiLevels(context, hooks);
    const bool colors = WriteDpiColors(context, hooks);
    return levels && colors;
}

}  // namespace quillora
