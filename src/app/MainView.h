#pragma once

// Everything the device worker shows. The worker never touches a widget: it calls this
// interface, and the desktop window implements it by queuing each call onto the GUI
// thread; the command-line front end prints; tests record. Calls may come from any
// thread and must not block on the window.

#include <string>

namespace quillora {

// How the main window's home area looks.
enum class DeviceLayout {
    NoDevice,     // the no-device picture and text; tabs, tab bar and device picture hidden
    DeviceList,   // the device list shown, state panel and its buttons hidden
    Connected,    // the connected layout after the mouse came back (keys page selected)
    DevicePages,  // a model opened: tab background, tab bar (button page), picture, panel
};

// Pages the worker asks the window to refresh from the store and the session.
enum PageRefresh : unsigned {
    kRefreshProfiles = 1u << 0,
    kRefreshButtons = 1u << 1,
    kRefreshMacros = 1u << 2,
    kRefreshDpi = 1u << 3,
    kRefreshLighting = 1u << 4,
    kRefreshFirmwareVersion = 1u << 5,
    kRefreshDeviceInfo = 1u << 6,
};

// The kind of newer version a check found (the window's notice asks about it).
enum class VersionNotice { Application = 1, Firmware = 2 };

class MainView {
  public:
    virtual ~MainView() = default;

    // Device list tiles.
    virtual void SetAllTilesOffline() = 0;
    virtual void SetTileState(int deviceType, int linkKind, int online) = 0;
    virtual void SetTileVersion(int deviceType, const std::u16string& version) = 0;
    virtual void SetTileBattery(int deviceType, int first, int second) = 0;
    virtual void SelectTile(int deviceType) = 0;

    // The home area and the device state panel.
    virtual void ShowLayout(DeviceLayout layout) = 0;
    virtual void SetPanelText(int textNumber) = 0;
    virtual void SetBattery(int first, int second) = 0;
    // Leaves the settings page if it shows (the settings and maximise buttons return).
    virtual void LeaveSettingsPage() = 0;
    // Tip windows, the key dialog, message boxes (answered cancel), menus, drop-down
    // lists, the palette and the DPI notice; a running macro recording stops; the DPI
    // level control loses the keyboard focus.
    virtual void CloseTransientWindows() = 0;

    // A model's description was loaded: picture, lighting tab, hints and key list.
    virtual void DescriptionLoaded() = 0;
    // Pages to show afresh from the store (PageRefresh bits).
    virtual void RefreshPages(unsigned pages) = 0;

    // The DPI page.
    virtual void ConfigureDpiSlider(int positions, int stepMode, const std::u16string& minText,
                                    const std::u16string& maxText) = 0;
    virtual void ShowDpiLevelCount(int count) = 0;
    virtual void SelectDpiLevel(int level, int sliderPosition) = 0;
    virtual void ShowDpiNotice(int dpi) = 0;

    // Updates.
    virtual void SetAppUpdateStatus(const std::u16string& label, bool updateEnabled) = 0;
    virtual void SetFirmwareUpdateStatus(const std::u16string& label, bool upgradeEnabled) = 0;
    virtual void PostVersionNotice(VersionNotice kind) = 0;
    virtual void PostDownloadProgress(int percent) = 0;
    virtual void ShowUpgradeProgress(int percent, int textNumber) = 0;
    virtual void CloseUpgradeProgress() = 0;
    // The program is to end now with this code (an installer was started).
    virtual void EndProgram(int exitCode) = 0;
};

}  // namespace quillora
