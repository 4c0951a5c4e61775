#pragma once

// What every command of quillora-cli starts from: the folders, the catalogue, the HID
// backend (real or simulated) and the wire log, made from the global options.

#include <memory>
#include <string>
#include <vector>

#include "app/Folders.h"
#include "cli/CliOptions.h"
#include "device/HidApi.h"
#include "device/WireLog.h"
#include "formats/AppConfig.h"
#include "sim/SimBus.h"
#include "sim/SimulatedDevices.h"

namespace quillora::cli {

struct CliContext {
    CliOptions options;
    FolderOverrides folders;
    std::string applicationFolder;
    std::string dataFolder;
    std::string configFolder;
    CatalogConfig config;

    // The transport: the simulated bus with --simulate, else hidapi over hidraw.
    std::unique_ptr<sim::SimBus> simBus;
    sim::SimulatedDevices simulated;
    std::unique_ptr<HidApi> hidapi;
    HidApi* api = nullptr;

    std::unique_ptr<FileWireLog> wireLog;
};

// Builds the context; on failure returns nothing and writes the reason to `error`.
std::unique_ptr<CliContext> MakeCliContext(const CliOptions& options, std::string& error);

// The catalogue's identities as the simulated bus takes them.
std::vector<sim::SimIdentity> SimIdentitiesOf(const DeviceCatalog& catalog);

}  // namespace quillora::cli
