// The firmware quillora-virtual-mouse serves in builds without the simulated mouse
// model: the devices appear and send connection reports, but commands go unanswered,
// as they would from a mouse whose firmware is busy.

#include "app/Trace.h"
#include "virtualmouse/VirtualMouseMain.h"

namespace quillora::virtualmouse {
namespace {

class SilentFirmware final : public VirtualFirmware {
  public:
    std::optional<std::vector<std::uint8_t>> Handle(std::span<const std::uint8_t>) override {
        return std::nullopt;
    }
    std::vector<std::uint8_t> ConnectionReport(bool connected) override {
        // 0xC0, connected flag, battery (little-endian).
        return {0xC0, static_cast<std::uint8_t>(connected ? 1 : 0), 100, 0};
    }
    std::vector<std::uint8_t> PressDpiButton() override { return {}; }
};

}  // namespace

std::unique_ptr<VirtualFirmware> MakeDefaultFirmware(const FirmwareOptions&) {
    Trace(TraceLevel::Warning,
          "virtual mouse: no mouse model in this build; commands go unanswered");
    return std::make_unique<SilentFirmware>();
}

}  // namespace quillora::virtualmouse
