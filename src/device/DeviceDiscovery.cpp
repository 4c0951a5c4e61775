#include "device/DeviceDiscovery.h"

#include <cstdio>

#include "app/Trace.h"
#include "app/Utf8.h"

namespace quillora {
namespace {

void AddCatalogueIdentities(DeviceContext& context) {
    context.link.ClearSupportedDevices();
    for (const CatalogIdentity& identity : context.catalog.identities) {
        SupportedIdentity s;
        s.vendor_id = static_cast<std::uint16_t>(identity.vendorId);
        s.product_id = static_cast<std::uint16_t>(identity.productId);
        s.device_type = identity.model.deviceType;
        s.link_kind = identity.linkKind;
        s.model_code = identity.modelCode;
        context.link.AddSupportedDevice(s);
    }
}

void EnumerateAfresh(DeviceContext& context) {
    context.link.CloseAll();
    // The notifications the identification queries met stay kept in the link.
    context.link.EnumerateDevice();
    context.link.SetOpen(true);
}

std::u16string ReleaseText(int release) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(release));
    return FromUtf8(text);
}

void ShowNoDevice(DeviceContext& context) {
    context.session.Update([](DeviceState& state) { state.deviceOnline = false; });
    context.view.SetPanelText(kTextNoDevice);
    context.view.ShowLayout(DeviceLayout::NoDevice);
}

}  // namespace

void FillSupportedDevices(DeviceContext& context, int initialDeviceType) {
    AddCatalogueIdentities(context);
    context.view.SetAllTilesOffline();
    // Reading a named value creates the settings file when it is missing, so that the
    // write below (which only goes to an existing file) is kept.
    context.registry.ReadInt("DeviceType");
    context.registry.WriteDeviceType(initialDeviceType);
}

int ChooseSelectedModel(const DeviceCatalog& catalog, int stored,
                        const std::function<bool(int deviceType)>& available) {
    if (stored > 0 && available(stored)) {
        return stored;
    }
    for (const CatalogModel& model : catalog.models) {
        if (model.deviceType > 0 && available(model.deviceType)) {
            return model.deviceType;
        }
    }
    if (catalog.FindModel(stored) == nullptr && !catalog.models.empty()) {
        return catalog.models.front().deviceType;
    }
    return stored;
}

ModelLoad ReEnumerate(DeviceContext& context) {
    const int stored = context.registry.ReadDeviceType();
    AddCatalogueIdentities(context);
    EnumerateAfresh(context);
    return LoadModelDescription(context, stored);
}

RefreshResult RefreshDevices(DeviceContext& context) {
    RefreshResult result;
    const int stored = context.registry.ReadDeviceType();
    EnumerateAfresh(context);

    std::vector<HidInterface> interfaces;
    context.link.SelectDeviceType(0);
    context.link.GetInterfaces(interfaces);
    context.link.SelectDeviceType(stored);

    context.view.SetAllTilesOffline();
    bool identified = false;
    for (const HidInterface& i : interfaces) {
        if (i.device_type <= 0) {
            continue;
        }
        identified = true;
        context.view.SetTileState(i.device_type, i.link_kind, i.online_state);
        context.view.SetTileVersion(i.device_type, ReleaseText(i.release_number));
    }

    if (identified) {
        const int chosen = ChooseSelectedModel(context.catalog, stored, [&](int type) {
            return context.link.IsDeviceAvailable(type);
        });
        context.view.SelectTile(chosen);
        context.session.Update([&](DeviceState& state) { state.currentDeviceType = chosen; });
        context.link.SelectDeviceType(chosen);
        context.registry.WriteDeviceType(chosen);
        result.databaseSwitched = LoadModelDescription(context, chosen).databaseSwitched;
    }

    result.selectedKind = context.link.GetSelectedKind();
    if (!interfaces.empty()) {
        context.session.Update([](DeviceState& state) { state.interfacesPresent = true; });
        if (result.selectedKind < 0) {
            ShowNoDevice(context);
        } else {
            context.view.SetPanelText(result.selectedKind == kLinkReceiver
                                          ? kTextConnectedByReceiver
                                          : kTextConnectedByCable);
            context.session.Update([](DeviceState& state) { state.deviceOnline = true; });
            context.view.ShowLayout(DeviceLayout::DeviceList);
        }
    } else {
        context.session.Update([](DeviceState& state) { state.interfacesPresent = false; });
        ShowNoDevice(context);
    }
    context.view.LeaveSettingsPage();
    context.view.CloseTransientWindows();
    Trace(TraceLevel::Info, "refresh: %zu interfaces, model %d, link kind %d", interfaces.size(),
          context.session.Snapshot().currentDeviceType, result.selectedKind);
    return result;
}

}  // namespace quillora
