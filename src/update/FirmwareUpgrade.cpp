#include "update/FirmwareUpgrade.h"

#include <thread>

#include "app/Trace.h"

namespace quillora {
namespace {

void Wait(const Pause& pause, int ms) {
    if (pause) {
        pause(std::chrono::milliseconds(ms));
    }
}

}  // namespace

void SleepPause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

bool SendUpgradeReport(UpgradeChannel* channel, const UpgradeReport& report, const Pause& pause) {
    if (channel == nullptr) {
        return false;
    }
    if (channel->Write(report) > 0) {
        return true;
    }
    // The mouse sometimes refuses a write while it is busy; a second write and a
    // reply within a second show it took the report after all.
    Wait(pause, 3);
    channel->Write(report);
    Wait(pause, 5);
    std::array<std::uint8_t, kUpgradeReportSize> reply{};
    return channel->Read(reply, 1000) > 0;
}

UpgradeReportSender MakeUpgradeReportSender(UpgradeChannel* channel, Pause pause) {
    if (channel == nullptr) {
        return {};
    }
    return [channel, pause = std::move(pause)](const UpgradeReport& report) {
        return SendUpgradeReport(channel, report, pause);
    };
}

namespace {

bool Send(const UpgradeReportSender& send, const UpgradeReport& report) {
    return send && send(report);
}

}  // namespace

bool BeginUpgrade(const UpgradeReportSender& send) {
    return Send(send, BuildUpgradeStartReport());
}

bool EndUpgrade(const UpgradeReportSender& send) {
    return Send(send, BuildUpgradeEndReport());
}

bool SendFirmwareImage(std::span<const std::uint8_t> image, const UpgradeReportSender& send,
                       const UpgradeProgress& progress, const Pause& pause) {
    const size_t n = image.size();
    if (n == 0 || n > kMaxFirmwareImageSize) {
        return false;
    }
    const size_t fullReports = n / kUpgradeBytesPerReport;
    size_t block = 0;
    size_t sent = 0;
    size_t offset = 0;
    while (n - offset >= kUpgradeBytesPerReport) {
        UpgradeReport report = BuildUpgradeDataReport(image.subspan(offset, kUpgradeBytesPerReport),
                                                      static_cast<std::uint16_t>(block));
        if (!Send(send, report)) {
            Trace(TraceLevel::Warning, "firmware data report %zu failed", sent);
            return false;
        }
        if (sent < 2) {
            Wait(pause, 10);
        }
        ++sent;
        block += kUpgradeSubBlocksPerReport;
        offset += kUpgradeBytesPerReport;
        if (progress) {
            progress(static_cast<int>(90 * sent / fullReports + 10), kTextUpgradeWriting);
        }
    }
    if (offset < n) {
        Send(send,
             BuildUpgradeDataReport(image.subspan(offset), static_cast<std::uint16_t>(block)));
    }
    return true;
}

FirmwareWrite WriteFirmwareImage(std::span<const std::uint8_t> image,
                                 const UpgradeReportSender& send, const UpgradeProgress& progress,
                                 const Pause& pause) {
    if (image.empty() || image.size() > kMaxFirmwareImageSize) {
        return FirmwareWrite::ImageRefused;
    }
    if (!BeginUpgrade(send)) {
        return FirmwareWrite::StartFailed;
    }
    if (!SendFirmwareImage(image, send, progress, pause)) {
        return FirmwareWrite::TransferFailed;
    }
    EndUpgrade(send);
    return FirmwareWrite::Written;
}

std::string SelectUpgradeInterface(const std::vector<HidInterfaceInfo>& interfaces,
                                   std::uint16_t vendorId, std::uint16_t productId) {
    for (const HidInterfaceInfo& info : interfaces) {
        if (info.vendorId == vendorId && info.productId == productId &&
            info.usagePage == kUpgradeUsagePage && info.usage == kUpgradeUsage) {
            return info.path;
        }
    }
    return {};
}

}  // namespace quillora
