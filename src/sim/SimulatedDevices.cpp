#include "sim/SimulatedDevices.h"

namespace quillora::sim {
namespace {

constexpr int kDefaultDeviceType = 101;

const SimIdentity* FirstOf(const std::vector<SimIdentity>& identities, const std::string& model,
                           int linkKind) {
    for (const SimIdentity& identity : identities) {
        if (identity.modelAttr == model && identity.linkKind == linkKind)
            return &identity;
    }
    return nullptr;
}

UsbIdentity UsbOf(const SimIdentity& identity, const char16_t* product) {
    UsbIdentity usb;
    usb.vendor_id = identity.vendorId;
    usb.product_id = identity.productId;
    usb.product = product;
    return usb;
}

}  // namespace

SimulatedDevices PlugSimulatedDevices(SimBus& bus, const SimSetup& setup,
                                      const std::vector<SimIdentity>& identities,
                                      const std::string& persistFolder) {
    SimulatedDevices devices;
    devices.modelAttr = setup.model;
    if (devices.modelAttr.empty()) {
        for (const SimIdentity& identity : identities) {
            if (identity.deviceType == kDefaultDeviceType) {
                devices.modelAttr = identity.modelAttr;
                break;
            }
        }
    }
    const SimIdentity* cable = FirstOf(identities, devices.modelAttr, 0);
    const SimIdentity* receiver = FirstOf(identities, devices.modelAttr, 1);
    if (cable == nullptr && receiver == nullptr) {
        devices.error = "no catalogued model \"" + devices.modelAttr + "\"";
        return devices;
    }
    if (setup.cable && cable == nullptr) {
        devices.error = "model \"" + devices.modelAttr + "\" has no cable identity";
        return devices;
    }
    if (setup.receiver && receiver == nullptr) {
        devices.error = "model \"" + devices.modelAttr + "\" has no receiver identity";
        return devices;
    }

    devices.mouse = std::make_shared<SimMouse>();
    if (!persistFolder.empty()) {
        std::string folder = persistFolder;
        if (folder.back() != '/')
            folder += '/';
        devices.mouse->PersistIn(folder + "simulated-" + devices.modelAttr + ".mouse");
    }
    MouseSettings settings = devices.mouse->Settings();
    // The mouse reports the model code its catalogue identity expects.
    const SimIdentity& named = cable != nullptr ? *cable : *receiver;
    std::u16string code = named.modelCode;
    if (code.size() < 4 && receiver != nullptr && !receiver->modelCode.empty()) {
        code = receiver->modelCode;
    }
    code.resize(4, u'0');
    for (size_t i = 0; i < 4; ++i) {
        settings.model_code[i] = static_cast<std::uint8_t>(code[i]);
    }
    ApplySetupIdentity(setup, settings);
    devices.mouse->SetSettings(settings);

    if (setup.delay.count() > 0) {
        bus.SetReportDelay(setup.delay);
    }
    if (setup.cable) {
        devices.cable = bus.PlugCable(devices.mouse, UsbOf(*cable, u"Quillora simulated mouse"));
    }
    if (setup.receiver) {
        devices.receiver = bus.PlugReceiver(
            devices.mouse, UsbOf(*receiver, u"Quillora simulated receiver"), setup.mouse_on);
    }
    return devices;
}

}  // namespace quillora::sim
