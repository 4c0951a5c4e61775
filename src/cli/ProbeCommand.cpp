#include "cli/ProbeCommand.h"

#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "app/Utf8.h"
#include "cli/Json.h"
#include "device/DeviceChangeHandler.h"
#include "device/DeviceInfo.h"
#include "device/HidDeviceLink.h"

namespace quillora::cli {
namespace {

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

// Model codes are four ASCII characters when a mouse answers; anything else is shown
// as the bytes it is.
std::string PrintableCode(const std::u16string& code) {
    std::string out;
    for (const char16_t c : code) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x" + Hex4(c & 0xFF).substr(2);
        }
    }
    return out;
}

}  // namespace

int RunProbe(CliContext& context) {
    HidApi& api = *context.api;
    HidDeviceLink link(api);
    link.SetWireLog(context.wireLog.get());

    // Every interface whose collection the engine would talk to, catalogued or not.
    std::map<std::string, HidDeviceInfo> collections;
    std::set<std::pair<std::uint16_t, std::uint16_t>> ids;
    for (const HidDeviceInfo& info : api.Enumerate(0, 0)) {
        if (IsConfigurationUsage(info.usage_page, info.usage)) {
            collections[info.path] = info;
            ids.insert({info.vendor_id, info.product_id});
        }
    }
    for (const auto& [vid, pid] : ids) {
        link.AddSupportedDevice(SupportedIdentity{vid, pid, 0, kLinkCable, u""});
    }
    link.CloseAll();
    link.EnumerateDevice();
    link.SetOpen(true);
    std::vector<HidInterface> interfaces;
    link.GetInterfaces(interfaces);

    // What the catalogue makes of each answer.
    link.ClearSupportedDevices();
    for (const CatalogIdentity& identity : context.config.catalog.identities) {
        link.AddSupportedDevice(SupportedIdentity{static_cast<std::uint16_t>(identity.vendorId),
                                                  static_cast<std::uint16_t>(identity.productId),
                                                  identity.model.deviceType, identity.linkKind,
                                                  identity.modelCode});
    }

    std::vector<JsonObject> items;
    for (const HidInterface& i : interfaces) {
        const HidDeviceInfo& info = collections[i.path];
        const std::optional<DeviceInfo> record = ParseDeviceInfo(
            std::span<const std::uint8_t>(i.device_info.bytes.data(), i.device_info.bytes.size()));
        const bool answered = i.device_type != 0 && record.has_value();
        const bool catalogued = link.IsSupported(i.vendor_id, i.product_id);
        const int deviceType = answered && catalogued
                                   ? link.GetDeviceType(i.vendor_id, i.product_id, i.model_code)
                                   : 0;
        const int linkKind = catalogued ? link.GetLinkKind(i.vendor_id, i.product_id) : -1;

        JsonObject item;
        item.Add("index", i.index)
            .Add("vid", Hex4(i.vendor_id))
            .Add("pid", Hex4(i.product_id))
            .Add("path", i.path)
            .Add("usage_page", Hex4(info.usage_page))
            .Add("usage", Hex4(info.usage))
            .Add("product", ToUtf8(i.product_string))
            .Add("catalogued", catalogued)
            .Add("device_type", deviceType)
            .Add("link_kind", linkKind)
            .Add("answered", answered);
        if (answered) {
            item.Add("model_code", PrintableCode(record->model_code))
                .Add("sensor", record->sensor)
                .Add("rate_cap", record->rate_capability)
                .Add("battery", record->battery_a)
                .Add("online", record->connected != 0);
        }
        items.push_back(item);

        if (!context.options.json) {
            std::printf("%d  %s:%s  usage %s:%s  %s  \"%s\"\n", i.index, Hex4(i.vendor_id).c_str(),
                        Hex4(i.product_id).c_str(), Hex4(info.usage_page).c_str(),
                        Hex4(info.usage).c_str(), i.path.c_str(), ToUtf8(i.product_string).c_str());
            if (answered) {
                std::printf("   model code %s, sensor %d, rate capability %d, battery %d, %s\n",
                            PrintableCode(record->model_code).c_str(), record->sensor,
                            record->rate_capability, record->battery_a,
                            record->connected != 0 ? "mouse connected" : "mouse not connected");
            } else {
                std::printf("   no device information\n");
            }
            if (deviceType != 0) {
                std::printf("   catalogued as device type %d (%s)\n", deviceType,
                            linkKind == kLinkReceiver ? "receiver" : "cable");
            } else {
                std::printf(
                    "   not in the catalogue: add vid=\"0x%s\" pid=\"0x%s\"%s to config.xml\n",
                    Hex4(i.vendor_id).c_str(), Hex4(i.product_id).c_str(),
                    answered ? (" dev_id=\"" + PrintableCode(record->model_code) + "\"").c_str()
                             : "");
            }
        }
    }
    if (context.options.json) {
        JsonObject result;
        result.Add("ok", true).AddArray("interfaces", items);
        std::printf("%s\n", result.ToString().c_str());
    } else if (interfaces.empty()) {
        std::printf("no HID interface with a configuration collection\n");
    }
    link.CloseAll();
    return kExitDone;
}

}  // namespace quillora::cli
