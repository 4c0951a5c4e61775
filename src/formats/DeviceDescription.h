#pragma once

// One mouse model's description file (<application folder>/device/<device_attr>.xml):
// its picture, pages and hints, firmware path, buttons with their default functions,
// and factory defaults for DPI, report rate, power saving and lighting.

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/AttributeValues.h"

namespace quillora {

struct ButtonDefinition {
    int nameText = 0;         // interface text number of the button's name
    std::u16string name;      // the same attribute as text (the default assignment's name)
    int keyValue = 0;         // identifies the button everywhere
    int direction = 0;        // the side the picture draws its label on
    HotspotLine hotspot;      // the hotspot line on the mouse picture
    int descriptionText = 0;  // interface text number of the default function's description
    std::u16string description;
    int functionType = 0;  // the default function
    int functionValue = 0;
};

// The state a description sets. Loading a file merges into the state it is given: an
// element that is absent keeps the previous model's value.
struct DeviceDescription {
    std::optional<std::u16string> picture;  // "device/" + `mouse_img`
    bool lighting = true;                   // the lighting page exists
    bool showDpiTips = true;
    bool showSaveTips = true;
    bool showLiftOff = true;
    bool showSensor = true;
    std::u16string firmwareUrl;
    std::vector<ButtonDefinition> buttons;
    std::array<bool, 6> lightModes{};  // modes 1-6 offered by the lighting page
};

std::string DescriptionFilePath(const std::string& applicationFolder,
                                const std::u16string& deviceAttr);

// Loads a description into `state`. False, with `state` untouched, when the file is
// missing or malformed or has no `mouse` root.
bool LoadDeviceDescription(const std::string& path, DeviceDescription& state);

// Settings as the description's defaults give them: key and text, in the order they
// are to be stored.
using SettingValues = std::vector<std::pair<std::string, std::u16string>>;

// The `mouse_info` defaults for one profile: DPI levels and colours, and unless
// dpiOnly, report rate and power options. Empty when the file cannot be used.
SettingValues ReadDescriptionDefaults(const std::string& path, bool dpiOnly);

// The report rate default, for both "report_rate" and "report_rate_wireless".
SettingValues ReadReportRateDefault(const std::string& path);

}  // namespace quillora
