#pragma once

// What the command line shows of the worker's results: nothing while a command runs,
// except for `watch`, which prints one line (or JSON object) per event the engine
// reports: arrival and removal, connection, battery and DPI level changes.

#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "app/MainView.h"

namespace quillora::cli {

class CliView : public MainView {
  public:
    // Each event as a line of text and as a JSON object.
    using EventPrinter = std::function<void(const std::string& text, const std::string& json)>;
    void SetEventPrinter(EventPrinter printer);

    // The last state the worker gave each model's tile.
    struct Tile {
        int linkKind = 0;
        int online = 0;
        std::u16string version;
        int batteryA = 0;
        int batteryB = 0;
    };
    std::map<int, Tile> Tiles() const;
    int SelectedTile() const;

    void SetAllTilesOffline() override;
    void SetTileState(int deviceType, int linkKind, int online) override;
    void SetTileVersion(int deviceType, const std::u16string& version) override;
    void SetTileBattery(int deviceType, int first, int second) override;
    void SelectTile(int deviceType) override;
    void ShowLayout(DeviceLayout) override {}
    void SetPanelText(int) override {}
    void SetBattery(int first, int second) override;
    void LeaveSettingsPage() override {}
    void CloseTransientWindows() override {}
    void DescriptionLoaded() override {}
    void RefreshPages(unsigned) override {}
    void ConfigureDpiSlider(int, int, const std::u16string&, const std::u16string&) override {}
    void ShowDpiLevelCount(int count) override;
    void SelectDpiLevel(int level, int sliderPosition) override;
    void ShowDpiNotice(int) override {}
    void SetAppUpdateStatus(const std::u16string&, bool) override {}
    void SetFirmwareUpdateStatus(const std::u16string&, bool) override {}
    void PostVersionNotice(VersionNotice) override {}
    void PostDownloadProgress(int) override {}
    void ShowUpgradeProgress(int, int) override {}
    void CloseUpgradeProgress() override {}
    void EndProgram(int) override {}

  private:
    void Event(const std::string& text, const std::string& json);

    mutable std::mutex mutex_;
    EventPrinter printer_;
    std::map<int, Tile> tiles_;
    int selected_ = 0;
};

}  // namespace quillora::cli
