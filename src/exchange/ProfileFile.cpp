#include "exchange/ProfileFile.h"

#include <array>
#include <string>

#include "app/Decimal.h"
#include "app/Utf8.h"
#include "exchange/ExchangeDocument.h"
#include "exchange/SettingLimits.h"
#include "formats/XmlDocument.h"

namespace quillora {
namespace {

constexpr int kDpiGroups = 6;

// The Mouse section: each element is named after its setting, in this order.
constexpr std::array<std::string_view, 9> kMouseSettings = {
    "button_respondtime", "report_rate", "sensor_flag", "liftoff_height",  "scroll_flag",
    "e-sports_flag",      "sleep_light", "move_wakeup", "move_closelight",
};

constexpr std::array<std::string_view, 3> kDpiHeaderSettings = {"dpi_flag", "dpi_index",
                                                                "dpi_count"};

// Element, attribute and key names are ASCII.
std::u16string Wide(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string DpiValueKey(int group) {
    return "dpi_group" + std::to_string(group) + "_value";
}
std::string DpiColourKey(int group) {
    return "dpi_group" + std::to_string(group) + "_rgb";
}
std::u16string DpiElement(int group) {
    return Wide("DPI" + std::to_string(group + 1));
}

std::u16string StoredText(DataStore& store, int profile, std::string_view key) {
    std::u16string value;
    store.GetSetting(profile, key, value);  // a key without a row is written empty
    return value;
}

void WriteKeys(XmlDocument& doc, DataStore& store, int profile) {
    doc.AddElement(u"keyitems");
    doc.EnterElement();
    std::vector<KeyRecord> keys;
    store.ListKeys(profile, keys);
    for (const KeyRecord& key : keys) {
        doc.AddElement(u"item");
        doc.SetAttribute(u"key_code", key.key_code);
        doc.SetAttribute(u"macro_type", key.macro_type);
        doc.SetAttribute(u"macro_value", key.macro_value);
        doc.SetAttribute(u"macro_value2", key.macro_value2);
        doc.SetAttribute(u"macro_value3", key.macro_value3);
        doc.SetAttribute(u"macro_desc", key.macro_desc);
    }
    doc.LeaveElement();
}

void WriteLights(XmlDocument& doc, DataStore& store, int profile) {
    doc.AddElement(u"Lightitems");
    doc.SetAttribute(u"lightmode", store.GetActiveLightMode(profile));
    doc.EnterElement();
    std::vector<LightRecord> lights;
    store.ListLights(profile, lights);
    for (const LightRecord& light : lights) {
        doc.AddElement(u"item");
        doc.SetAttribute(u"light_mode", light.mode);
        doc.SetAttribute(u"brightness", light.brightness);
        doc.SetAttribute(u"speed", light.speed);
        doc.SetAttribute(u"direction", light.direction);
        doc.SetAttribute(u"colorful", light.colorful);
        doc.SetAttribute(u"colorindex", light.colorindex);
        doc.SetAttribute(u"color_value1", light.color_value1);
        doc.SetAttribute(u"color_value2", light.color_value2);
        doc.SetAttribute(u"color_value3", light.color_value3);
        doc.SetAttribute(u"color_value4", light.color_value4);
        doc.SetAttribute(u"color_value5", light.color_value5);
        doc.SetAttribute(u"color_value6", light.color_value6);
        doc.SetAttribute(u"color_value7", light.color_value7);
    }
    doc.LeaveElement();
}

void WriteDpi(XmlDocument& doc, DataStore& store, int profile) {
    doc.AddElement(u"Mouse_DPI");
    for (std::string_view key : kDpiHeaderSettings) {
        doc.SetAttribute(Wide(key), StoredText(store, profile, key));
    }
    doc.EnterElement();
    for (int group = 0; group < kDpiGroups; ++group) {
        doc.AddElement(DpiElement(group));
        doc.SetAttribute(u"value", StoredText(store, profile, DpiValueKey(group)));
        doc.SetAttribute(u"color", StoredText(store, profile, DpiColourKey(group)));
    }
    doc.LeaveElement();
}

void WriteMouse(XmlDocument& doc, DataStore& store, int profile) {
    doc.AddElement(u"Mouse");
    doc.EnterElement();
    for (std::string_view key : kMouseSettings) {
        doc.AddElement(Wide(key));
        doc.SetAttribute(u"value", StoredText(store, profile, key));
    }
    doc.LeaveElement();
}

// Copies one attribute text into a setting when the mouse can be sent it as it is.
void CopySetting(DataStore& store, int profile, std::string_view key, const std::u16string& text,
                 ProfileImportResult& result) {
    if (!IsSendableSettingValue(key, text)) {
        result.skippedSettings.emplace_back(key);
        return;
    }
    store.SetSetting(profile, key, text);
}

void ReadKeys(XmlDocument& doc, DataStore& store, int profile) {
    if (!doc.FindElement(u"keyitems")) {
        return;
    }
    doc.EnterElement();
    while (doc.FindElement(u"item")) {
        KeyRecord key;
        key.profile = profile;
        key.fn_layer = 0;
        key.key_code = DecimalToInt(doc.GetAttribute(u"key_code"));
        key.macro_type = DecimalToInt(doc.GetAttribute(u"macro_type"));
        key.macro_value = DecimalToInt(doc.GetAttribute(u"macro_value"));
        key.macro_value2 = DecimalToInt(doc.GetAttribute(u"macro_value2"));
        key.macro_value3 = DecimalToInt(doc.GetAttribute(u"macro_value3"));
        key.macro_desc = doc.GetAttribute(u"macro_desc");
        store.SaveKey(key);
    }
    doc.LeaveElement();
}

void ReadLights(XmlDocument& doc, DataStore& store, int profile) {
    if (!doc.FindElement(u"Lightitems")) {
        return;
    }
    store.SetActiveLightMode(profile, DecimalToInt(doc.GetAttribute(u"lightmode")));
    doc.EnterElement();
    while (doc.FindElement(u"item")) {
        const int mode = DecimalToInt(doc.GetAttribute(u"light_mode"));
        LightRecord light;
        if (!store.GetLight(profile, mode, light)) {
            continue;  // import only updates rows the lighting page made
        }
        light.brightness = DecimalToInt(doc.GetAttribute(u"brightness"));
        light.speed = DecimalToInt(doc.GetAttribute(u"speed"));
        light.direction = DecimalToInt(doc.GetAttribute(u"direction"));
        light.colorful = DecimalToInt(doc.GetAttribute(u"colorful"));
        light.colorindex = DecimalToInt(doc.GetAttribute(u"colorindex"));
        light.color_value1 = DecimalToInt(doc.GetAttribute(u"color_value1"));
        light.color_value2 = DecimalToInt(doc.GetAttribute(u"color_value2"));
        light.color_value3 = DecimalToInt(doc.GetAttribute(u"color_value3"));
        light.color_value4 = DecimalToInt(doc.GetAttribute(u"color_value4"));
        light.color_value5 = DecimalToInt(doc.GetAttribute(u"color_value5"));
        light.color_value6 = DecimalToInt(doc.GetAttribute(u"color_value6"));
        light.color_value7 = DecimalToInt(doc.GetAttribute(u"color_value7"));
        store.UpdateLight(mode, light);
    }
    doc.LeaveElement();
}

void ReadDpi(XmlDocument& doc, DataStore& store, int profile, ProfileImportResult& result) {
    if (!doc.FindElement(u"Mouse_DPI")) {
        return;
    }
    for (std::string_view key : kDpiHeaderSettings) {
        CopySetting(store, profile, key, doc.GetAttribute(Wide(key)), result);
    }
    doc.EnterElement();
    for (int group = 0; group < kDpiGroups; ++group) {
        if (doc.FindElement(DpiElement(group))) {
            CopySetting(store, profile, DpiValueKey(group), doc.GetAttribute(u"value"), result);
            CopySetting(store, profile, DpiColourKey(group), doc.GetAttribute(u"color"), result);
        }
    }
    doc.LeaveElement();
}

void ReadMouse(XmlDocument& doc, DataStore& store, int profile, ProfileImportResult& result) {
    if (!doc.FindElement(u"Mouse")) {
        return;
    }
    doc.EnterElement();
    for (std::string_view key : kMouseSettings) {
        if (doc.FindElement(Wide(key))) {
            CopySetting(store, profile, key, doc.GetAttribute(u"value"), result);
        }
    }
    doc.LeaveElement();
}

}  // namespace

bool ExportProfile(DataStore& store, int profile, std::u16string_view name, bool hasLighting,
                   const std::filesystem::path& file) {
    XmlDocument doc;
    StartExchangeDocument(doc);
    doc.AddElement(u"profile");
    doc.EnterElement();
    doc.AddElement(u"profileinfo");
    doc.SetAttribute(u"name", name);
    doc.EnterElement();
    WriteKeys(doc, store, profile);
    if (hasLighting) {
        WriteLights(doc, store, profile);
    }
    WriteDpi(doc, store, profile);
    WriteMouse(doc, store, profile);
    return doc.SaveFile(file);
}

ProfileImportResult ImportProfile(DataStore& store, int profile, const std::filesystem::path& file,
                                  bool hasLighting) {
    ProfileImportResult result;
    XmlDocument doc;
    if (!OpenExchangeFile(doc, file, u"profile")) {
        return result;
    }
    result.applied = true;
    doc.EnterElement();
    // Whether or not profileinfo is there, the file's name names the profile; without
    // it the sections are looked for directly under the root.
    doc.FindElement(u"profileinfo");
    result.name = ProfileNameFromFileName(FromUtf8(file.filename().string()));
    store.RenameProfile(profile, result.name);
    doc.EnterElement();
    // The file replaces every assignment, also when it holds none.
    store.DeleteKeysOfProfile(profile);
    ReadKeys(doc, store, profile);
    if (hasLighting) {
        ReadLights(doc, store, profile);
    }
    ReadDpi(doc, store, profile, result);
    ReadMouse(doc, store, profile, result);
    return result;
}

std::u16string ProfileNameFromFileName(std::u16string_view fileName) {
    constexpr size_t kExtensionUnits = 4;
    if (fileName.size() <= kExtensionUnits) {
        return {};
    }
    size_t keep = fileName.size() - kExtensionUnits;
    const char16_t last = fileName[keep - 1];
    if (last >= 0xD800 && last <= 0xDBFF) {
        --keep;  // the low half of this pair was cut off with the extension
    }
    return std::u16string(fileName.substr(0, keep));
}

}  // namespace quillora
