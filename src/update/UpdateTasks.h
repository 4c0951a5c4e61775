#pragma once

// The worker tasks of the updates: 23 (CheckAppVersion), 24 (CheckFirmwareVersion),
// 26 (UpdateApplication) and 27 (UpgradeFirmware). They run on the worker thread, keep
// the versions and update states in the session and show their results through the
// MainView: the version lines and buttons, the notice of a newer version, download
// progress, the upgrade progress window, and the end of the program once an installer
// runs.
//
// What the view reads from the session when a notice comes:
//  - Application: newestAppVersion for the question; when appUpdateViaWebsite is set
//    the copy belongs to the package manager, and the notice offers the website
//    instead of queuing task 26 (which would refuse to run anyway).
//  - Firmware: newestFirmwareVersion for the question; accepting queues task 27.
// Download progress (task 26) ends with 100 and EndProgram(0) when the installer
// started; a download, unpacking or start that fails posts kDownloadFailed instead, so
// the view closes its download progress window.

#include <functional>
#include <string>

#include "device/DeviceContext.h"
#include "device/DeviceWorker.h"
#include "update/FirmwareUpgrade.h"
#include "update/Http.h"
#include "update/VersionCheck.h"

namespace quillora {

// Posted as download progress when task 26 ends without starting an installer.
inline constexpr int kDownloadFailed = -1;

struct UpdateConfig {
    std::string runningVersion;  // config.xml's software version, e.g. "1.0.9"
    std::string updateAddress;   // config.xml's upgrade url, used as configured
    // InstalledByPackageManager() of this copy: offer the website, never an installer.
    bool packageManaged = false;
    // Interface texts of the current language (582 "new version", 580 "no new version").
    std::function<std::u16string(int)> text;
    HttpOptions http;
};

// Task 23: asks the application's server for its newest version. A newer one: state 1,
// the settings page's line "<582>: v<newest>" with the update button enabled, and the
// Application notice. Not newer: state 2, text 580, button disabled. No answer (or no
// version text in it): the newest version is cleared and nothing else changes.
VersionCheck CheckAppVersion(DeviceContext& context, const UpdateConfig& config);

// Task 24, also run after every successful read of the mouse: asks the firmware server
// (the model description's firmware url) for the newest firmware. Compared with the
// mouse's version when both are known: newer gives state 1, the firmware row's
// "<582>: V<a>.<bc>" with its upgrade button enabled and the Firmware notice; otherwise
// state 2, text 580, button disabled.
VersionCheck CheckFirmwareVersion(DeviceContext& context, const UpdateConfig& config);

// What the engine's after-read hook runs: task 24's check, bound to this context (which
// must outlive the function).
std::function<void()> FirmwareCheckAfterRead(DeviceContext& context, UpdateConfig config);

// Task 26: downloads and unpacks the installer of the newest version into the data
// folder's download folder, starts it as a process of its own and asks the view to end
// the program with exit code 0. True when the installer started.
bool UpdateApplication(DeviceContext& context, const UpdateConfig& config);

enum class FirmwareUpgradeResult {
    NotDownloaded,       // no archive, no image in it, or an image that is empty or over 1 MiB
    NoUpgradeInterface,  // nothing was written to the mouse
    StartFailed,         // the start report failed: nothing else was written
    TransferFailed,      // a data report failed: no end report was sent
    Written,             // start, data and end reports went out
};

// Task 27 without the pauses around it: downloads the firmware archive of the newest
// firmware version, unpacks the image and writes it to the mouse's upgrade interface
// (which the link keeps open afterwards), with the upgrade progress steps 5, 7, 10,
// the writing percentages and 100. Nothing reaches the mouse unless the image is read
// and at most 1 MiB.
FirmwareUpgradeResult UpgradeFirmware(DeviceContext& context, const UpdateConfig& config);

// Registers tasks 23, 24, 26 and 27 (task 27 followed by 100 ms, closing the upgrade
// progress window, 100 ms, on the context's clock). The context must outlive the
// worker. False when the worker refused a registration (it has started).
bool RegisterUpdateTasks(DeviceWorker& worker, DeviceContext& context, UpdateConfig config);

}  // namespace quillora
