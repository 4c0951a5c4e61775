#include "protocol/WriteTaskSupport.h"

#include <string>

#include "app/Decimal.h"
#include "app/Trace.h"
#include "formats/DeviceDescription.h"
#include "protocol/CommandCatalogue.h"
#include "protocol/LinkState.h"

namespace quillora::write_tasks {

int StoredInt(DeviceContext& context, int profile, std::string_view key) {
    std::u16string text;
    context.store.GetSetting(profile, key, text);
    return DecimalToInt(text);
}

bool SendFrame(DeviceContext& context, const WriteTaskHooks& hooks, const ReportFrame& frame,
               FrameSize size, OnFailure on_failure, ReportFrame* reply) {
    // SendCommand leaves the reply over the frame it is given.
    ReportFrame exchanged = frame;
    const ExchangeResult result = context.link.SendCommand(exchanged, size);
    if (!result.notifications.empty() && hooks.keepNotifications) {
        hooks.keepNotifications(result.notifications);
    }
    if (result.ok) {
        if (reply != nullptr) {
            *reply = exchanged;
        }
        return true;
    }
    const std::uint8_t code = frame[request::kCommand];
    const cmd::CommandInfo* info = cmd::Find(code);
    Trace(TraceLevel::Warning, "%s (0x%02X, packet 0x%02X) failed",
          info != nullptr ? info->name : "command", code, frame[request::kPacket]);
    if (on_failure == OnFailure::RefreshLinkState) {
        RefreshLinkState(context);
    }
    return false;
}

void RefreshPages(DeviceContext& context, const WriteTaskHooks& hooks, unsigned pages) {
    if (pages == 0) {
        return;
    }
    if (hooks.refreshPages) {
        hooks.refreshPages(pages);
    } else {
        context.view.RefreshPages(pages);
    }
}

bool HasLighting(DeviceContext& context) {
    return context.description.Snapshot().lighting;
}

void ApplyDescriptionDefaults(DeviceContext& context, int profile, bool dpi_only) {
    const std::u16string attr = context.session.Snapshot().openModelAttr;
    const std::string path = DescriptionFilePath(context.applicationFolder, attr);
    for (const auto& [key, value] : ReadDescriptionDefaults(path, dpi_only)) {
        context.store.SetSetting(profile, key, value);
    }
}

}  // namespace quillora::write_tasks
