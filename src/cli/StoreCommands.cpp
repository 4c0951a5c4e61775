#include "cli/StoreCommands.h"

#include <cstdio>
#include <string>

#include "app/Utf8.h"
#include "cli/CliEngine.h"
#include "cli/Json.h"
#include "store/DefaultSettings.h"

namespace quillora::cli {
namespace {

bool StartEngine(CliEngine& engine) {
    std::string error;
    if (!engine.Start(error)) {
        std::fprintf(stderr, "quillora-cli: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool IsSettingKey(const std::string& key) {
    for (const DefaultSetting& setting : DefaultSettings()) {
        if (key == setting.key)
            return true;
    }
    return false;
}

std::string Hex4(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

}  // namespace

int RunSettings(CliContext& context) {
    if (!context.options.args.empty()) {
        std::fprintf(stderr, "quillora-cli: settings takes no arguments\n");
        return kExitUsage;
    }
    CliEngine engine(context);
    if (!StartEngine(engine))
        return kExitUsage;
    engine.Stop();
    const int profile = engine.CurrentProfile();
    DataStore& store = engine.Context().store;
    JsonObject values;
    if (!context.options.json)
        std::printf("profile %d\n", profile);
    for (const DefaultSetting& setting : DefaultSettings()) {
        std::u16string value;
        if (!store.GetSetting(profile, setting.key, value))
            continue;
        values.Add(setting.key, ToUtf8(value));
        if (!context.options.json)
            std::printf("%s=%s\n", setting.key, ToUtf8(value).c_str());
    }
    if (context.options.json) {
        std::printf("%s\n", JsonObject()
                                .Add("ok", profile != 0)
                                .Add("profile", profile)
                                .AddObject("settings", values)
                                .ToString()
                                .c_str());
    }
    if (profile == 0) {
        std::fprintf(stderr, "quillora-cli: no profile database could be opened\n");
        return kExitRefused;
    }
    return kExitDone;
}

int RunGet(CliContext& context) {
    if (context.options.args.size() != 1 || !IsSettingKey(context.options.args[0])) {
        std::fprintf(stderr, "quillora-cli: get needs one setting name (see 'settings')\n");
        return kExitUsage;
    }
    const std::string& key = context.options.args[0];
    CliEngine engine(context);
    if (!StartEngine(engine))
        return kExitUsage;
    engine.Stop();
    std::u16string value;
    const bool found = engine.Context().store.GetSetting(engine.CurrentProfile(), key, value);
    if (context.options.json) {
        std::printf("%s\n", JsonObject()
                                .Add("ok", found)
                                .Add("key", key)
                                .Add("value", ToUtf8(value))
                                .ToString()
                                .c_str());
    } else if (found) {
        std::printf("%s\n", ToUtf8(value).c_str());
    }
    if (!found) {
        std::fprintf(stderr, "quillora-cli: %s is not stored for the current profile\n",
                     key.c_str());
        return kExitRefused;
    }
    return kExitDone;
}

int RunDevices(CliContext& context) {
    if (!context.options.args.empty()) {
        std::fprintf(stderr, "quillora-cli: devices takes no arguments\n");
        return kExitUsage;
    }
    CliEngine engine(context);
    if (!StartEngine(engine))
        return kExitUsage;
    engine.Stop();
    DeviceContext& device = engine.Context();
    const DeviceState state = device.session.Snapshot();
    const auto tiles = engine.View().Tiles();

    std::vector<JsonObject> models;
    if (!context.options.json) {
        std::printf("selected model: %d\n", state.currentDeviceType);
    }
    for (const CatalogModel& model : context.config.catalog.models) {
        CliView::Tile tile;
        if (const auto it = tiles.find(model.deviceType); it != tiles.end())
            tile = it->second;
        const std::string link =
            tile.online == 0 ? "none" : (tile.linkKind == 1 ? "receiver" : "cable");
        models.push_back(JsonObject()
                             .Add("device_type", model.deviceType)
                             .Add("name", ToUtf8(model.name))
                             .Add("device_attr", ToUtf8(model.deviceAttr))
                             .Add("link", link)
                             .Add("online", tile.online != 0)
                             .Add("version", ToUtf8(tile.version)));
        if (!context.options.json) {
            std::printf("%c %d  %-32s  %-14s  %s%s\n",
                        model.deviceType == state.currentDeviceType ? '*' : ' ', model.deviceType,
                        ToUtf8(model.name).c_str(), ToUtf8(model.deviceAttr).c_str(),
                        tile.online != 0 ? ("online by " + link).c_str() : "offline",
                        tile.version.empty() ? "" : (", version " + ToUtf8(tile.version)).c_str());
        }
    }
    // Every open interface, whichever model it belongs to.
    const int selected = device.link.SelectedDeviceType();
    device.link.SelectDeviceType(0);
    std::vector<HidInterface> interfaces;
    device.link.GetInterfaces(interfaces);
    device.link.SelectDeviceType(selected);
    std::vector<JsonObject> open;
    for (const HidInterface& i : interfaces) {
        open.push_back(JsonObject()
                           .Add("index", i.index)
                           .Add("vid", Hex4(i.vendor_id))
                           .Add("pid", Hex4(i.product_id))
                           .Add("path", i.path)
                           .Add("device_type", i.device_type)
                           .Add("link_kind", i.link_kind)
                           .Add("online", i.online_state)
                           .Add("model_code", ToUtf8(i.model_code)));
        if (!context.options.json) {
            std::printf("  interface %d  %s:%s  %s  model %d (%s), %s\n", i.index,
                        Hex4(i.vendor_id).c_str(), Hex4(i.product_id).c_str(), i.path.c_str(),
                        i.device_type, i.link_kind == 1 ? "receiver" : "cable",
                        i.online_state > 0 ? "online" : "offline");
        }
    }
    if (context.options.json) {
        std::printf("%s\n", JsonObject()
                                .Add("ok", true)
                                .Add("selected", state.currentDeviceType)
                                .AddArray("models", models)
                                .AddArray("interfaces", open)
                                .ToString()
                                .c_str());
    }
    return kExitDone;
}

}  // namespace quillora::cli
