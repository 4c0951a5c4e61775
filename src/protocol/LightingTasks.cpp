// Tasks 8 and 17: the active lighting mode's parameters, and the mouse's own lighting
// reset read back into the store.

#include <chrono>

#include "app/MainView.h"
#include "app/Trace.h"
#include "protocol/CommandCatalogue.h"
#include "protocol/ReplyDecoders.h"
#include "protocol/WriteFrames.h"
#include "protocol/WriteTaskSupport.h"
#include "protocol/WriteTasks.h"
#include "store/Records.h"

namespace quillora {

using write_tasks::OnFailure;
using write_tasks::SendFrame;

namespace {

// The mouse needs a moment to apply its reset before the query sees the result.
constexpr std::chrono::milliseconds kResetSettleTime{100};

LightingValues ValuesOf(const LightRecord& r) {
    return {r.mode,
            r.brightness,
            r.speed,
            {r.color_value1, r.color_value2, r.color_value3, r.color_value4, r.color_value5,
             r.color_value6, r.color_value7}};
}

}  // namespace

bool WriteLighting(DeviceContext& context, const WriteTaskHooks& hooks) {
    const DeviceState state = context.session.Snapshot();
    const int profile = state.currentProfile;
    const int mode = state.currentLightMode;
    context.store.SetActiveLightMode(profile, mode);
    LightRecord record;
    if (!context.store.GetLight(profile, mode, record)) {
        return true;
    }
    return SendFrame(context, hooks, EncodeLighting(ValuesOf(record)), FrameSize::Long,
                     OnFailure::RefreshLinkState);
}

bool ResetLightingTask(DeviceContext& context, const WriteTaskHooks& hooks) {
    const int profile = context.session.Snapshot().currentProfile;
    const bool reset =
        SendFrame(context, hooks, EncodeResetLighting(), FrameSize::Short, OnFailure::TraceOnly);
    context.clock.SleepFor(kResetSettleTime);

    ReportFrame reply;
    const bool read = SendFrame(context, hooks, cmd::MakeQuery(cmd::kGetLighting), FrameSize::Short,
                                OnFailure::TraceOnly, &reply);
    std::optional<LightingReply> lighting;
    if (read) {
        lighting = DecodeLighting(ReplyBytes(reply.data(), ToBytes(FrameSize::Short)));
    }
    if (lighting) {
        context.session.Update([&](DeviceState& s) { s.currentLightMode = lighting->mode; });
        context.store.SetActiveLightMode(profile, lighting->mode);
        LightRecord record;
        if (context.store.GetLight(profile, lighting->mode, record)) {
            record.brightness = lighting->brightness;
            record.speed = lighting->speed;
            context.store.UpdateLight(lighting->mode, record);
        }
    }
    write_tasks::RefreshPages(context, hooks, kRefreshLighting);
    return reset && lighting.has_value();
}

}  // namespace quillora
