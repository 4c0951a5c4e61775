#pragma once

// The engine's context for a fuzz run over a FuzzHidApi: the shipped catalogue, a
// profile database in a temporary folder (opened once per process) and a view that
// shows nothing.

#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "FuzzHidApi.h"
#include "app/Folders.h"
#include "app/MainView.h"
#include "app/SettingsRegistry.h"
#include "app/Trace.h"
#include "device/Clock.h"
#include "device/DeviceContext.h"
#include "device/DeviceDiscovery.h"
#include "formats/AppConfig.h"
#include "protocol/ProfileSetup.h"
#include "store/DataStore.h"

namespace quillora::fuzz {

class SilentView final : public MainView {
  public:
    void SetAllTilesOffline() override {}
    void SetTileState(int, int, int) override {}
    void SetTileVersion(int, const std::u16string&) override {}
    void SetTileBattery(int, int, int) override {}
    void SelectTile(int) override {}
    void ShowLayout(DeviceLayout) override {}
    void SetPanelText(int) override {}
    void SetBattery(int, int) override {}
    void LeaveSettingsPage() override {}
    void CloseTransientWindows() override {}
    void DescriptionLoaded() override {}
    void RefreshPages(unsigned) override {}
    void ConfigureDpiSlider(int, int, const std::u16string&, const std::u16string&) override {}
    void ShowDpiLevelCount(int) override {}
    void SelectDpiLevel(int, int) override {}
    void ShowDpiNotice(int) override {}
    void SetAppUpdateStatus(const std::u16string&, bool) override {}
    void SetFirmwareUpdateStatus(const std::u16string&, bool) override {}
    void PostVersionNotice(VersionNotice) override {}
    void PostDownloadProgress(int) override {}
    void ShowUpgradeProgress(int, int) override {}
    void CloseUpgradeProgress() override {}
    void EndProgram(int) override {}
};

// What stays from one input to the next: the store and the catalogue.
struct Shared {
    std::string folder;
    DataStore store{SQLiteDurability{SQLiteJournalMode::kDelete, SQLiteSyncMode::kOff}};
    SettingsRegistry registry;
    DeviceCatalog catalog;
    std::string appFolder;

    Shared() : folder(MakeFolder()), registry(folder + "config/") {
        SetTraceEnabled(false);
        const char* source = std::getenv("QUILLORA_SOURCE_DIR");
        appFolder = std::string(source ? source : QUILLORA_FUZZ_SOURCE_DIR) + "/data/";
        catalog = ReadCatalogConfig(ConfigFilePath(appFolder), u"").catalog;
        registry.ReadLanguage();
    }
    static std::string MakeFolder() {
        char pattern[] = "/tmp/quillora-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        const std::string folder = std::string(made ? made : "/tmp") + "/";
        CreateFolder(folder + "config/");
        CreateFolder(folder + "db");
        return folder;
    }
    static Shared& Get() {
        static Shared shared;
        return shared;
    }
};

// One input's engine: a link over the input, discovered and selected, the open
// model's profiles prepared.
struct Run {
    explicit Run(std::span<const std::uint8_t> input) : api(input), link(api, clock) {
        Shared& s = Shared::Get();
        FillSupportedDevices(context, 101);
        ReEnumerate(context);
        RefreshDevices(context);
        InitialiseProfiles(context, {});
        (void)s;
    }

    FuzzHidApi api;
    ManualClock clock;
    HidDeviceLink link;
    DeviceSession session;
    SilentView view;
    DescriptionHolder description;
    DeviceContext context{link,
                          Shared::Get().store,
                          session,
                          view,
                          Shared::Get().registry,
                          clock,
                          Shared::Get().catalog,
                          description,
                          Shared::Get().appFolder,
                          Shared::Get().folder};
};

}  // namespace quillora::fuzz
