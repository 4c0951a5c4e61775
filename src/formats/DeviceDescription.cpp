#include "formats/DeviceDescription.h"

#include "app/Decimal.h"
#include "app/Utf8.h"
#include "formats/XmlReading.h"

namespace quillora {
namespace {

std::u16string DecimalText(int value) {
    const std::string narrow = std::to_string(value);
    return std::u16string(narrow.begin(), narrow.end());
}

std::u16string LevelName(const char16_t* prefix, int level) {
    return prefix + DecimalText(level);
}

std::string LevelKey(int level, const char* suffix) {
    return "dpi_group" + std::to_string(level) + suffix;
}

// Enters `mouse` and then `mouse_info` of an opened description.
bool EnterMouseInfo(XmlDocument& document) {
    document.EnterElement();
    if (!document.FindElement(u"mouse_info"))
        return false;
    document.EnterElement();
    return true;
}

}  // namespace

std::string DescriptionFilePath(const std::string& applicationFolder,
                                const std::u16string& deviceAttr) {
    return applicationFolder + "device/" + ToUtf8(deviceAttr) + ".xml";
}

bool LoadDeviceDescription(const std::string& path, DeviceDescription& state) {
    XmlDocument document;
    if (!OpenXmlFile(document, path, u"mouse")) {
        return false;
    }
    document.EnterElement();
    if (document.FindElement(u"image_file")) {
        state.picture = u"device/" + document.GetAttribute(u"mouse_img");
    }
    if (document.FindElement(u"menu")) {
        state.lighting = FlagValue(document.GetAttribute(u"light"));
    }
    if (document.FindElement(u"custom")) {
        state.showDpiTips = FlagValue(document.GetAttribute(u"show_dpitips"));
        state.showSaveTips = FlagValue(document.GetAttribute(u"show_savetips"));
        state.showLiftOff = FlagValue(document.GetAttribute(u"show_lod"));
        state.showSensor = FlagValue(document.GetAttribute(u"show_sensor"));
    }
    if (document.FindElement(u"firmware")) {
        state.firmwareUrl = document.GetAttribute(u"url");
    }
    if (document.FindElement(u"mouse_key")) {
        state.buttons.clear();
        document.EnterElement();
        while (document.FindElement(u"key")) {
            ButtonDefinition button;
            button.name = document.GetAttribute(u"name");
            button.nameText = DecimalToInt(button.name);
            button.keyValue = DecimalToInt(document.GetAttribute(u"key_value"));
            button.direction = DecimalToInt(document.GetAttribute(u"direction"));
            button.hotspot = ParseHotspotLine(document.GetAttribute(u"rect"));
            button.description = document.GetAttribute(u"func_desc");
            button.descriptionText = DecimalToInt(button.description);
            button.functionType = DecimalToInt(document.GetAttribute(u"func_type"));
            button.functionValue = DecimalToInt(document.GetAttribute(u"func_value"));
            state.buttons.push_back(std::move(button));
        }
        document.LeaveElement();
    }
    if (document.FindElement(u"mouse_info")) {
        document.EnterElement();
        if (document.FindElement(u"light_info")) {
            document.EnterElement();
            for (int mode = 1; mode <= 6; ++mode) {
                if (document.FindElement(LevelName(u"light_", mode))) {
                    state.lightModes[mode - 1] = FlagValue(document.GetAttribute(u"enable"));
                }
            }
            document.LeaveElement();
        }
        document.LeaveElement();
    }
    return true;
}

SettingValues ReadDescriptionDefaults(const std::string& path, bool dpiOnly) {
    SettingValues values;
    XmlDocument document;
    if (!OpenXmlFile(document, path, u"mouse") || !EnterMouseInfo(document)) {
        return values;
    }
    if (document.FindElement(u"dpi_info")) {
        const std::u16string count = document.GetAttribute(u"dpi_count");
        values.emplace_back("dpi_index", document.GetAttribute(u"default_dpi"));
        values.emplace_back("dpi_flag", count);
        values.emplace_back("dpi_count", count);
        document.EnterElement();
        for (int level = 1; level <= 6; ++level) {
            if (document.FindElement(LevelName(u"dpi_", level))) {
                values.emplace_back(LevelKey(level - 1, "_value"), document.GetAttribute(u"value"));
                values.emplace_back(LevelKey(level - 1, "_rgb"),
                                    DecimalText(ColourValue(document.GetAttribute(u"color"))));
            }
        }
        document.LeaveElement();
    }
    if (dpiOnly) {
        return values;
    }
    if (document.FindElement(u"report_rate")) {
        values.emplace_back("report_rate", document.GetAttribute(u"default_value"));
    }
    for (const char* name : {"sleep_light", "move_wakeup", "move_closelight"}) {
        const std::string narrow(name);
        if (document.FindElement(std::u16string(narrow.begin(), narrow.end()))) {
            values.emplace_back(name, document.GetAttribute(u"value"));
        }
    }
    return values;
}

SettingValues ReadReportRateDefault(const std::string& path) {
    SettingValues values;
    XmlDocument document;
    if (!OpenXmlFile(document, path, u"mouse") || !EnterMouseInfo(document)) {
        return values;
    }
    if (document.FindElement(u"report_rate")) {
        const std::u16string rate = document.GetAttribute(u"default_value");
        values.emplace_back("report_rate", rate);
        values.emplace_back("report_rate_wireless", rate);
    }
    return values;
}

}  // namespace quillora
