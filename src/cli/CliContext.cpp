#include "cli/CliContext.h"

#include "app/Utf8.h"
#include "device/HidapiBackend.h"
#include "sim/SimSetup.h"

namespace quillora::cli {

std::vector<sim::SimIdentity> SimIdentitiesOf(const DeviceCatalog& catalog) {
    std::vector<sim::SimIdentity> identities;
    for (const CatalogIdentity& identity : catalog.identities) {
        sim::SimIdentity sim;
        sim.modelAttr = ToUtf8(identity.model.deviceAttr);
        sim.deviceType = identity.model.deviceType;
        sim.linkKind = identity.linkKind;
        sim.vendorId = static_cast<std::uint16_t>(identity.vendorId);
        sim.productId = static_cast<std::uint16_t>(identity.productId);
        sim.modelCode = identity.modelCode;
        identities.push_back(std::move(sim));
    }
    return identities;
}

std::unique_ptr<CliContext> MakeCliContext(const CliOptions& options, std::string& error) {
    auto context = std::make_unique<CliContext>();
    context->options = options;
    context->folders = FolderOverrides{options.appDir, options.dataDir, options.configDir};
    context->applicationFolder = ApplicationFolder(context->folders);
    const std::string configPath = ConfigFilePath(context->applicationFolder);
    const StartupConfig startup = ReadStartupConfig(configPath);
    if (!startup.loaded) {
        error = "cannot read " + configPath;
        return nullptr;
    }
    context->dataFolder = ApplicationDataFolder(startup.productKeyName, context->folders);
    context->configFolder = ConfigFolder(startup.productKeyName, context->folders);
    context->config = ReadCatalogConfig(configPath, u"");

    if (!options.wireLog.empty()) {
        context->wireLog = std::make_unique<FileWireLog>(options.wireLog);
        if (!context->wireLog->Ok()) {
            error = "cannot write the wire log " + options.wireLog;
            return nullptr;
        }
    }

    if (options.simulate) {
        const sim::SimSetupResult setup = sim::ParseSimSetup(*options.simulate);
        if (!setup.setup) {
            error = "--simulate: " + setup.error;
            return nullptr;
        }
        context->simBus = std::make_unique<sim::SimBus>();
        CreateFolder(context->dataFolder);
        context->simulated = sim::PlugSimulatedDevices(*context->simBus, *setup.setup,
                                                       SimIdentitiesOf(context->config.catalog),
                                                       context->dataFolder);
        if (!context->simulated.error.empty()) {
            error = "--simulate: " + context->simulated.error;
            return nullptr;
        }
        context->api = context->simBus.get();
    } else {
        context->hidapi = std::make_unique<HidapiBackend>();
        context->api = context->hidapi.get();
    }
    return context;
}

}  // namespace quillora::cli
