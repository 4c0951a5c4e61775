#include "protocol/ConfigRead.h"

#include <string>

#include "app/Trace.h"
#include "app/Utf8.h"
#include "device/DeviceInfo.h"
#include "protocol/CommandCatalogue.h"
#include "protocol/LinkState.h"
#include "protocol/ReplyDecoders.h"
#include "protocol/Sensor.h"

namespace quillora {
namespace {

std::u16string Decimal(int value) {
    return FromUtf8(std::to_string(value));
}

// One query; the reply (33 bytes as read) when the mouse acknowledged it.
std::optional<ReportFrame> Query(DeviceContext& context, std::uint8_t code) {
    ReportFrame frame = cmd::MakeQuery(code);
    if (!context.link.SendCommand(frame, FrameSize::Short)) {
        Trace(TraceLevel::Warning, "read: query 0x%02X failed", code);
        return std::nullopt;
    }
    // A late reply to an earlier query can end this one's wait; its bytes mean
    // something else, so they are not stored as this query's answer.
    if (frame[reply::kCommand] != code) {
        Trace(TraceLevel::Warning, "read: query 0x%02X answered by a reply to 0x%02X", code,
              frame[reply::kCommand]);
        return std::nullopt;
    }
    return frame;
}

ReplyBytes Bytes(const ReportFrame& frame) {
    return ReplyBytes(frame.data(), ToBytes(FrameSize::Short));
}

void QuerySettings(DeviceContext& context, int profile, int sensor, ReadKind kind) {
    DataStore& store = context.store;
    auto set = [&](const char* key, int value) { store.SetSetting(profile, key, Decimal(value)); };

    Query(context, cmd::kPreReadQuery);  // answered, and its reply means nothing to us

    if (auto r = Query(context, cmd::kGetReportRate)) {
        if (auto rate = DecodeReportRate(Bytes(*r))) {
            set("report_rate", *rate);
            set("report_rate_wireless", *rate);
        }
    }
    if (auto r = Query(context, cmd::kGetDpiLevels)) {
        if (auto levels = DecodeDpiLevels(Bytes(*r), sensor)) {
            set("dpi_flag", levels->level_count);
            set("dpi_count", levels->level_count);
            set("dpi_index", levels->selected_level);
            for (int i = 0; i < 6; ++i) {
                if (levels->dpi[i]) {
                    set(("dpi_group" + std::to_string(i) + "_value").c_str(), *levels->dpi[i]);
                }
            }
        }
    }
    if (auto r = Query(context, cmd::kGetDpiColors)) {
        if (auto colors = DecodeDpiColors(Bytes(*r))) {
            for (int i = 0; i < 6; ++i) {
                set(("dpi_group" + std::to_string(i) + "_rgb").c_str(), (*colors)[i]);
            }
        }
    }
    if (auto r = Query(context, cmd::kGetLighting)) {
        if (auto light = DecodeLighting(Bytes(*r))) {
            context.session.Update([&](DeviceState& s) { s.currentLightMode = light->mode; });
            store.SetActiveLightMode(profile, light->mode);
            LightRecord record;
            if (store.GetLight(profile, light->mode, record)) {
                record.brightness = light->brightness;
                record.speed = light->speed;
                store.UpdateLight(light->mode, record);
            }
        }
    }
    if (auto r = Query(context, cmd::kGetSensorOptions)) {
        if (auto options = DecodeSensorOptions(Bytes(*r))) {
            set("liftoff_height", options->liftoff_height);
            set("sensor_flag", options->sensor_flags);
        }
    }
    if (auto r = Query(context, cmd::kGetPowerOptions)) {
        if (auto power = DecodePowerOptions(Bytes(*r))) {
            set("sleep_light", power->sleep_light);
            set("move_wakeup", power->move_wakeup);
            set("move_closelight", power->move_closelight);
            set("button_respondtime", power->button_respondtime);
        }
    }
    if (kind == ReadKind::Task && context.link.GetSelectedKind() == kLinkReceiver) {
        if (auto r = Query(context, cmd::kGetFirmwareVersion)) {
            if (auto version = DecodeFirmwareVersion(Bytes(*r))) {
                const std::u16string text = FromUtf8(*version);
                context.session.Update([&](DeviceState& s) { s.firmwareVersion = text; });
            }
        }
    }
}

}  // namespace

bool TakeDeviceInfo(DeviceContext& context, ReadKind kind) {
    ReportFrame record;
    if (!context.link.QueryDeviceInfo(record, std::nullopt)) {
        return false;
    }
    const std::optional<DeviceInfo> info =
        ParseDeviceInfo(ReplyBytes(record.data(), ReportFrame::kSize));
    if (!info) {
        return false;
    }
    const SensorInfo sensor = LookUpSensor(info->sensor, kind == ReadKind::Reconnect);
    const int deviceType = context.session.Update([&](DeviceState& s) {
        s.sensorCode = info->sensor;
        s.dpiMinimum = sensor.dpi_min;
        s.dpiMaximum = sensor.dpi_max;
        s.sliderPositions = sensor.slider_positions;
        s.sliderStepMode = sensor.step_mode;
        s.sliderMinText = FromUtf8(sensor.min_text);
        s.sliderMaxText = FromUtf8(sensor.max_text);
        s.reportRateCapability = RateCapabilityLevel(info->rate_capability);
        s.batteryA = info->battery_a;
        s.batteryB = info->battery_b;
        s.connectionFlag = info->connected;
        return s.currentDeviceType;
    });
    context.view.ConfigureDpiSlider(sensor.slider_positions, sensor.step_mode,
                                    FromUtf8(sensor.min_text), FromUtf8(sensor.max_text));
    context.view.SetBattery(info->battery_b, info->battery_a);
    context.view.SetTileBattery(deviceType, info->battery_a, info->battery_b);
    return true;
}

bool ReadConfiguration(DeviceContext& context, ReadKind kind) {
    if (kind == ReadKind::Task) {
        const DeviceState before = context.session.Update([](DeviceState& s) {
            s.connectionFlag = 0;
            return s;
        });
        context.view.SetBattery(before.batteryB, 100);
        context.view.SetTileBattery(before.currentDeviceType, before.batteryA, 100);
    }
    TakeDeviceInfo(context, kind);

    const DeviceState state = context.session.Snapshot();
    if (state.connectionFlag == 0) {
        Trace(TraceLevel::Warning, "read: mouse of model %d not connected",
              state.currentDeviceType);
        RefreshLinkState(context);
        return false;
    }
    const bool first = context.session.Update(
        [](DeviceState& s) { return s.devicesRead.insert(s.currentDeviceType).second; });
    if (!first) {
        return true;
    }
    QuerySettings(context, state.currentProfile, state.sensorCode, kind);
    return true;
}

bool ReadDeviceConfig(DeviceContext& context) {
    return ReadConfiguration(context, ReadKind::Task);
}

bool ReReadDeviceConfig(DeviceContext& context) {
    return ReadConfiguration(context, ReadKind::Reconnect);
}

}  // namespace quillora
