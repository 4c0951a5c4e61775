// Task 6: the button table of the current profile, preceded by the macro the keys page
// has just bound to a button.

#include <optional>
#include <vector>

#include "app/Trace.h"
#include "protocol/ButtonSlots.h"
#include "protocol/MacroStream.h"
#include "protocol/WriteTaskSupport.h"
#include "protocol/WriteTasks.h"
#include "store/Records.h"

namespace quillora {

using write_tasks::OnFailure;
using write_tasks::SendFrame;

namespace {

MacroStream StreamOf(DeviceContext& context, int key_code, int macro_id) {
    std::vector<MacroEventRecord> records;
    context.store.ListMacroEvents(macro_id, records);
    std::vector<MacroEventInput> events;
    events.reserve(records.size());
    for (const MacroEventRecord& r : records) {
        events.push_back({r.type, r.value});
    }
    return BuildMacroStream(key_code, events);
}

// Sends the macro's stream in SetMacroData frames. A failed frame is traced and the rest
// still go; the answer is the last frame's. A stream that needs more frames than the
// packet byte can count is refused as a whole: nothing is sent.
bool SendMacro(DeviceContext& context, const WriteTaskHooks& hooks, int key_code, int macro_id) {
    const MacroStream stream = StreamOf(context, key_code, macro_id);
    const MacroFrames framing = EncodeMacroFrames(stream);
    if (framing.status == MacroFramingStatus::TooLong) {
        Trace(TraceLevel::Warning,
              "macro %d for key %d not sent: %d events need %d frames, at most %d fit", macro_id,
              key_code, stream.events, framing.frames_needed, kMaxMacroFrames);
        return false;
    }
    bool last = true;
    for (const ReportFrame& frame : framing.frames) {
        last = SendFrame(context, hooks, frame, FrameSize::Short, OnFailure::TraceOnly);
    }
    return last;
}

std::vector<ButtonAssignment> AssignmentsOf(const std::vector<KeyRecord>& keys) {
    std::vector<ButtonAssignment> assignments;
    assignments.reserve(keys.size());
    for (const KeyRecord& k : keys) {
        assignments.push_back({k.key_code, k.macro_type, k.macro_value, k.macro_value2});
    }
    return assignments;
}

// Sends the macro bound to the pending button, if that button is still bound to an
// existing macro.
bool SendPendingMacro(DeviceContext& context, const WriteTaskHooks& hooks, int profile,
                      int pending_key, const std::vector<KeyRecord>& keys) {
    for (const KeyRecord& key : keys) {
        if (key.macro_type != kFunctionMacro || key.key_code != pending_key) {
            continue;
        }
        std::vector<MacroRecord> macros;
        context.store.ListMacros(macros);
        for (const MacroRecord& macro : macros) {
            if (macro.macro_id == key.macro_value) {
                return SendMacro(context, hooks, key.key_code, macro.macro_id);
            }
        }
        Trace(TraceLevel::Info, "key %d of profile %d names macro %d, which does not exist",
              pending_key, profile, key.macro_value);
        return true;
    }
    return true;
}

// The button table of the profile's stored assignments. A macro assignment keeps the
// default slot when its macro is gone or too long to be sent, so the mouse never plays
// a macro it does not hold.
bool SendButtonTable(DeviceContext& context, const WriteTaskHooks& hooks,
                     const std::vector<KeyRecord>& keys) {
    const MacroLookup lookup = [&context](int macro_id) -> std::optional<MacroPlayMode> {
        MacroRecord macro;
        if (!context.store.GetMacro(macro_id, macro)) {
            return std::nullopt;
        }
        // The stream's length does not depend on the key code it starts with.
        if (EncodeMacroFrames(StreamOf(context, 0, macro_id)).status ==
            MacroFramingStatus::TooLong) {
            return std::nullopt;
        }
        return MacroPlayMode{macro.play_type, macro.play_times};
    };
    const std::vector<ButtonAssignment> assignments = AssignmentsOf(keys);
    const ReportFrame frame = EncodeButtonTable(BuildSlotTable(assignments, lookup));
    return SendFrame(context, hooks, frame, FrameSize::Short, OnFailure::RefreshLinkState);
}

}  // namespace

bool WriteButtonAssignments(DeviceContext& context, const WriteTaskHooks& hooks) {
    // Taken and cleared in one step: a macro bound while this task runs stays pending
    // for the task 6 its binding queued.
    struct Pending {
        int profile;
        bool pending;
        int key;
    };
    const Pending taken = context.session.Update([](DeviceState& s) {
        Pending p{s.currentProfile, s.macroPending, s.pendingMacroKey};
        s.macroPending = false;
        s.pendingMacroKey = -1;
        return p;
    });

    std::vector<KeyRecord> keys;
    context.store.ListKeys(taken.profile, keys);
    bool ok = true;
    if (taken.pending && taken.key >= 0) {
        ok = SendPendingMacro(context, hooks, taken.profile, taken.key, keys);
    }
    return SendButtonTable(context, hooks, keys) && ok;
}

namespace write_tasks {

// Task 5's part: the table alone, leaving a pending macro for the next task 6.
bool WriteButtonTableOnly(DeviceContext& context, const WriteTaskHooks& hooks) {
    std::vector<KeyRecord> keys;
    context.store.ListKeys(context.session.Snapshot().currentProfile, keys);
    return SendButtonTable(context, hooks, keys);
}

}  // namespace write_tasks

}  // namespace quillora
