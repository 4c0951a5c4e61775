#include "device/ModelLoading.h"

#include "app/Folders.h"
#include "app/Trace.h"
#include "app/Utf8.h"

namespace quillora {

ModelLoad LoadModelDescription(DeviceContext& context, int deviceType) {
    ModelLoad result;
    std::u16string name;
    std::u16string attr;
    if (const CatalogModel* model = context.catalog.FindModel(deviceType)) {
        result.found = true;
        name = model->name;
        attr = model->deviceAttr;
    }
    const std::u16string previous = context.session.Update([&](DeviceState& state) {
        std::u16string before = state.openModelAttr;
        state.openModelName = name;
        state.openModelAttr = attr;
        return before;
    });

    if (previous != attr || !context.store.IsOpen()) {
        context.store.CloseDatabase();
        CreateFolder(DatabaseFolder(context.dataFolder));
        if (!context.store.OpenDatabase(context.dataFolder, attr)) {
            Trace(TraceLevel::Warning, "profile database of model %d could not be opened",
                  deviceType);
        }
        result.databaseSwitched = true;
    }

    const std::string path = DescriptionFilePath(context.applicationFolder, attr);
    DeviceDescription loaded = context.description.Update([&](DeviceDescription& d) {
        if (!LoadDeviceDescription(path, d)) {
            Trace(TraceLevel::Warning, "device description not loaded: %s", path.c_str());
        }
        return d;
    });
    context.session.Update([&](DeviceState& state) { state.firmwareUrl = loaded.firmwareUrl; });
    context.view.DescriptionLoaded();
    return result;
}

}  // namespace quillora
