#pragma once

// Writing a firmware image to the mouse over its upgrade interface: the start report,
// the data reports and the end report, and the one-report exchange they all go
// through. The HID layer plugs in as an UpgradeChannel (or directly as a sender), so
// everything here runs against fakes in tests.

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "update/UpgradeReports.h"

namespace quillora {

// Interface text numbers of the upgrade progress steps.
inline constexpr int kTextUpgradeDownloading = 590;
inline constexpr int kTextUpgradePreparing = 591;
inline constexpr int kTextUpgradeWriting = 592;
inline constexpr int kTextUpgradeDone = 593;

// Sends one upgrade report; true when it went out. An empty function stands for a
// missing upgrade interface, and every send through it fails.
using UpgradeReportSender = std::function<bool(const UpgradeReport&)>;

// A progress step for the upgrade progress window: percent and the interface text of
// its status line ("<text>: <percent>%").
using UpgradeProgress = std::function<void(int percent, int textId)>;

// How the transfer waits between reports; tests pass one that only records.
using Pause = std::function<void(std::chrono::milliseconds)>;
void SleepPause(std::chrono::milliseconds duration);

// The upgrade interface as hidapi offers it: Write returns the bytes written (0 or -1
// on failure), Read the bytes read (0 on time-out, -1 on error).
class UpgradeChannel {
  public:
    virtual ~UpgradeChannel() = default;
    virtual int Write(std::span<const std::uint8_t> report) = 0;
    virtual int Read(std::span<std::uint8_t> report, int timeoutMs) = 0;
};

// One report exchange: write the 64 bytes; when nothing was written, wait 3 ms, write
// again, wait 5 ms and read a report within 1000 ms. True when the first write went out
// or that read returned data; false at once without a channel.
bool SendUpgradeReport(UpgradeChannel* channel, const UpgradeReport& report,
                       const Pause& pause = SleepPause);

// A sender over a channel (which must outlive it); an empty sender for a null channel.
UpgradeReportSender MakeUpgradeReportSender(UpgradeChannel* channel, Pause pause = SleepPause);

bool BeginUpgrade(const UpgradeReportSender& send);
bool EndUpgrade(const UpgradeReportSender& send);

// Sends the image in data reports of 48 bytes; after each of the first two it waits
// 10 ms, after each full report it reports 90 * k / (n / 48) + 10 percent (text 592).
// A failing full report ends the transfer (false). The last, short report is sent
// without progress and its result does not count. False without sending anything for
// an empty image or one over kMaxFirmwareImageSize, whose blocks cannot be numbered.
bool SendFirmwareImage(std::span<const std::uint8_t> image, const UpgradeReportSender& send,
                       const UpgradeProgress& progress = {}, const Pause& pause = SleepPause);

enum class FirmwareWrite {
    Written,         // start, data and end reports sent (the end report's result is ignored)
    ImageRefused,    // empty or over 1 MiB: nothing was sent
    StartFailed,     // the start report failed: nothing else was sent
    TransferFailed,  // a data report failed: no end report was sent
};

// Start report, image, end report: the mouse-facing half of the upgrade task.
FirmwareWrite WriteFirmwareImage(std::span<const std::uint8_t> image,
                                 const UpgradeReportSender& send,
                                 const UpgradeProgress& progress = {},
                                 const Pause& pause = SleepPause);

// One HID interface as enumeration lists it.
struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

inline constexpr std::uint16_t kUpgradeUsagePage = 0xFFEF;
inline constexpr std::uint16_t kUpgradeUsage = 0;

// The path of the upgrade interface of the mouse with these ids: the first listed
// interface with the same vendor and product id, usage page 0xFFEF and usage 0.
// Empty when there is none.
std::string SelectUpgradeInterface(const std::vector<HidInterfaceInfo>& interfaces,
                                   std::uint16_t vendorId, std::uint16_t productId);

}  // namespace quillora
