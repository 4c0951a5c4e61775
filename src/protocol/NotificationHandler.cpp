#include "protocol/NotificationHandler.h"

#include <string>

#include "app/Decimal.h"
#include "app/Trace.h"
#include "app/Utf8.h"
#include "device/DeviceDiscovery.h"
#include "protocol/ConfigRead.h"
#include "protocol/Notification.h"
#include "protocol/Sensor.h"

namespace quillora {
namespace {

void HandleDpi(DeviceContext& context, const DpiNotification& dpi) {
    const DeviceState state = context.session.Snapshot();
    const int profile = state.currentProfile;
    if (dpi.level_count != state.shownDpiCount) {
        context.session.Update([&](DeviceState& s) { s.shownDpiCount = dpi.level_count; });
        context.store.SetSetting(profile, "dpi_count", FromUtf8(std::to_string(dpi.level_count)));
        context.view.ShowDpiLevelCount(dpi.level_count);
    }
    if (dpi.selected_level != state.shownDpiIndex) {
        context.session.Update([&](DeviceState& s) { s.shownDpiIndex = dpi.selected_level; });
        context.store.SetSetting(profile, "dpi_index",
                                 FromUtf8(std::to_string(dpi.selected_level)));
        std::u16string text;
        context.store.GetSetting(profile,
                                 "dpi_group" + std::to_string(dpi.selected_level) + "_value", text);
        const int value = DecimalToInt(text);
        context.view.SelectDpiLevel(dpi.selected_level,
                                    DpiToSliderPosition(state.sensorCode, value));
        if (context.description.Snapshot().showDpiTips) {
            context.view.ShowDpiNotice(value);
        }
    }
}

bool AnyCataloguedModelOnline(DeviceContext& context) {
    for (const CatalogModel& model : context.catalog.models) {
        if (context.link.IsDeviceAvailable(model.deviceType)) {
            return true;
        }
    }
    return false;
}

void HandleConnection(DeviceContext& context, const ConnectionNotification& c,
                      const ReportFrame& report, int deviceType) {
    Trace(TraceLevel::Info, "mouse connection report, byte 3: %02X", report[3]);
    context.view.CloseTransientWindows();
    if (c.connected) {
        context.session.Update([](DeviceState& s) { s.deviceOnline = true; });
        context.view.ShowLayout(DeviceLayout::Connected);
        const bool receiver = context.link.GetSelectedKind() == kLinkReceiver;
        context.view.SetPanelText(receiver ? kTextConnectedByReceiver : kTextConnectedByCable);
        const int kind = receiver ? kLinkReceiver : kLinkCable;
        context.view.SetTileState(deviceType, kind, 1);
        context.link.SetOnlineState(deviceType, kind, kOnline);
        ReReadDeviceConfig(context);
    } else {
        context.session.Update([](DeviceState& s) { s.deviceOnline = false; });
        context.view.SetPanelText(kTextNoDevice);
        context.view.ShowLayout(DeviceLayout::NoDevice);
        context.view.SetTileState(deviceType, kLinkReceiver, 0);
        context.link.SetOnlineState(deviceType, kLinkReceiver, kOffline);
        context.link.PollReceivers();
        if (AnyCataloguedModelOnline(context)) {
            context.view.ShowLayout(DeviceLayout::DeviceList);
        }
    }
    if (c.battery_a != 0) {
        context.view.SetBattery(c.battery_a, c.battery_b);
    }
}

}  // namespace

void HandleNotificationReport(DeviceContext& context, const ReportFrame& report, int deviceType) {
    const std::optional<Notification> n =
        DecodeNotification(std::span<const std::uint8_t>(report.data(), 6));
    if (!n) {
        return;
    }
    if (const auto* dpi = std::get_if<DpiNotification>(&*n)) {
        HandleDpi(context, *dpi);
    } else if (const auto* c = std::get_if<ConnectionNotification>(&*n)) {
        HandleConnection(context, *c, report, deviceType);
    }
}

void HandleKeptNotifications(DeviceContext& context) {
    // Handling a report can exchange again (the re-read) and meet more; a device that
    // keeps sending cannot hold the worker here for ever.
    constexpr int kMaxRounds = 8;
    for (int round = 0; round < kMaxRounds; ++round) {
        const std::vector<ReportFrame> kept = context.link.TakeKeptNotifications();
        if (kept.empty()) {
            return;
        }
        for (const ReportFrame& report : kept) {
            HandleNotificationReport(context, report, context.link.SelectedDeviceType());
        }
    }
}

DeviceWorker::IdleRead HandleNotification(DeviceContext& context) {
    const std::vector<ReportFrame> kept = context.link.TakeKeptNotifications();
    if (!kept.empty()) {
        for (const ReportFrame& report : kept) {
            HandleNotificationReport(context, report, context.link.SelectedDeviceType());
        }
        return DeviceWorker::IdleRead::Waited;
    }
    if (!context.session.Snapshot().interfacesPresent || !context.link.CanReadNotification()) {
        return DeviceWorker::IdleRead::NothingToRead;
    }
    ReportFrame buffer;
    int deviceType = 0;
    context.link.ReadNotification(buffer, deviceType);
    HandleNotificationReport(context, buffer, deviceType);
    return DeviceWorker::IdleRead::Waited;
}

}  // namespace quillora
