// The firmware the installed quillora-virtual-mouse serves when the simulated mouse
// model is part of the build: the same SimMouse that --simulate and the integration
// tests use, with the receiver's behaviour while its mouse is off.

#include "device/ReportFrame.h"
#include "protocol/CommandCatalogue.h"
#include "sim/SimMouse.h"
#include "virtualmouse/VirtualMouseMain.h"

namespace quillora::virtualmouse {
namespace {

class SimMouseFirmware final : public VirtualFirmware {
  public:
    explicit SimMouseFirmware(const FirmwareOptions& options)
        : receiver_(options.kind == DeviceKind::Receiver), mouseOn_(options.mouseOn) {
        if (!options.statePath.empty())
            mouse_.PersistIn(options.statePath);
    }

    std::optional<std::vector<std::uint8_t>> Handle(
        std::span<const std::uint8_t> outputReport) override {
        // Upgrade reports (ID 0x05) are taken and left unanswered, as the simulated bus
        // does; only the configuration collection carries commands.
        if (outputReport.empty() || outputReport[request::kReportId] != 0)
            return std::nullopt;
        if (receiver_ && !mouseOn_) {
            // The receiver still answers who it is, with the connection flag clear.
            if (outputReport.size() > request::kCommand &&
                outputReport[request::kCommand] == cmd::kGetDeviceInfo)
                return mouse_.DeviceInfoReply(false);
            return std::nullopt;
        }
        return mouse_.Handle(outputReport);
    }

    std::vector<std::uint8_t> ConnectionReport(bool connected) override {
        mouseOn_ = connected;
        return mouse_.ConnectionReport(connected);
    }

    std::vector<std::uint8_t> PressDpiButton() override { return mouse_.PressDpiButton(); }

  private:
    sim::SimMouse mouse_;
    bool receiver_;
    bool mouseOn_;
};

}  // namespace

std::unique_ptr<VirtualFirmware> MakeDefaultFirmware(const FirmwareOptions& options) {
    return std::make_unique<SimMouseFirmware>(options);
}

}  // namespace quillora::virtualmouse
