#pragma once

// The firmware upgrade below the worker task: fetch and unpack the firmware archive,
// read the image, and after the transfer clean up. Between the two halves the task
// opens the upgrade interface (SelectUpgradeInterface) and hands its sender over.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/FirmwareUpgrade.h"
#include "update/Http.h"

namespace quillora {

// A firmware archive larger than this cannot hold an image the mouse can take.
inline constexpr std::size_t kMaxFirmwareArchiveBytes = kMaxFirmwareImageSize + 64 * 1024;

struct FirmwareImage {
    std::string path;  // the unpacked image file, deleted by FinishFirmwareUpgrade
    std::vector<std::uint8_t> bytes;
};

// Empties the download folder of dataFolder, downloads
// "<address>//mouse//firmware-<version>.zip" into it, unpacks it, deletes it and reads
// "firmware     -<version>.bin". Progress steps: 5 (text 590) first, 7 (591) once the
// archive is there, 10 (591) once the image is read. Nothing when a step fails, the
// image is empty, or it is over 1 MiB (an image the mouse cannot number is refused
// before anything is sent to it).
std::optional<FirmwareImage> DownloadFirmwareImage(std::string_view address,
                                                   std::string_view version,
                                                   const std::string& dataFolder,
                                                   const UpgradeProgress& steps = {},
                                                   const DownloadProgress& download = {},
                                                   const HttpOptions& options = {});

// Writes the image through send (start, data and end reports), then deletes the image
// file and shows step 100 (text 593), whatever the write gave.
FirmwareWrite FinishFirmwareUpgrade(const FirmwareImage& image, const UpgradeReportSender& send,
                                    const UpgradeProgress& steps = {},
                                    const Pause& pause = SleepPause);

}  // namespace quillora
