#pragma once

// What the write tasks share: reading a stored number, sending one frame with the
// failure handling its command calls for, page refreshes and the description defaults.
// Internal to the write tasks.

#include <string_view>

#include "device/DeviceContext.h"
#include "device/ReportFrame.h"
#include "protocol/WriteTasks.h"

namespace quillora::write_tasks {

// A setting of `profile` as a number: missing or non-numeric text reads 0.
int StoredInt(DeviceContext& context, int profile, std::string_view key);

// What a failed exchange leads to besides its trace line.
enum class OnFailure {
    RefreshLinkState,  // the single-frame writes: the mouse may have dropped out
    TraceOnly,         // macro frames, and the commands whose answer is not used
};

// Sends a copy of `frame` (the reply, when acknowledged, lands in `reply` if given),
// hands on the notifications the exchange met and handles a failure.
bool SendFrame(DeviceContext& context, const WriteTaskHooks& hooks, const ReportFrame& frame,
               FrameSize size, OnFailure on_failure, ReportFrame* reply = nullptr);

void RefreshPages(DeviceContext& context, const WriteTaskHooks& hooks, unsigned pages);

// Whether the open model's description gives it a lighting page.
bool HasLighting(DeviceContext& context);

// Writes the open model's description defaults into `profile`: the DPI part only, or
// with the report rate and power options.
void ApplyDescriptionDefaults(DeviceContext& context, int profile, bool dpi_only);

// The button table alone (task 5 sends it without macro data): a pending macro stays
// pending.
bool WriteButtonTableOnly(DeviceContext& context, const WriteTaskHooks& hooks);

}  // namespace quillora::write_tasks
