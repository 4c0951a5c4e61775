#pragma once

// The simulated mouse's firmware model: it keeps its own settings, applies every write of
// the command catalogue and answers every query with what the writes set. Transport,
// timing and faults are the bus's business (SimBus); this class only turns one request
// into at most one reply.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillora::sim {

// Everything the mouse remembers. Identity fields (model code, sensor, capability,
// battery, firmware) are what the device information record and query 0x20 report.
struct MouseSettings {
    std::array<std::uint8_t, 4> model_code{{'Q', 'M', '0', '1'}};
    std::uint16_t info_word = 0;
    std::uint8_t sensor = 25;
    std::uint8_t rate_capability = 0x40;
    std::uint8_t battery_a = 80;
    std::uint8_t battery_b = 0;
    std::array<std::uint8_t, 2> firmware{{0x01, 0x05}};

    std::uint8_t report_rate = 1;
    std::uint8_t dpi_selection = 0x14;  // level 1 of 4
    std::array<std::uint8_t, 24> dpi_levels{};
    std::array<std::uint8_t, 18> dpi_colors{};
    std::uint8_t light_mode = 1;
    std::uint8_t light_parameter = 0x42;
    std::array<std::uint8_t, 22> light_data{};  // bytes after mode and parameter
    std::uint8_t liftoff_height = 1;
    std::array<std::uint8_t, 2> sensor_switches{};
    std::array<std::uint8_t, 4> power{{10, 1, 1, 4}};
    std::array<std::uint8_t, 27> button_table{};
    std::vector<std::uint8_t> macro;  // the last complete macro stream

    friend bool operator==(const MouseSettings&, const MouseSettings&) = default;
};

// The mouse's factory settings (what RestoreDefaults brings back), keeping identity.
MouseSettings FactorySettings(const MouseSettings& identity);

// Text form used by the settings file: one "name=hex bytes" line per field.
std::string SerializeSettings(const MouseSettings& settings);
// Nothing when the text is not a settings file; unknown names are skipped.
std::optional<MouseSettings> ParseSettings(const std::string& text);

// An input report as the host reads it: no report ID, 64 bytes.
using InputReport = std::vector<std::uint8_t>;
inline constexpr std::size_t kInputReportSize = 64;

class SimMouse {
  public:
    SimMouse();
    explicit SimMouse(const MouseSettings& settings);

    // Handles one output report (byte 0 the report ID) and returns the reply, or nothing
    // for a request the mouse does not answer (unknown command). A bad checksum is
    // answered with status 0x01.
    std::optional<InputReport> Handle(std::span<const std::uint8_t> output_report);

    // The device information reply; `connected` is its byte 14 (a receiver whose mouse is
    // off answers with 0).
    InputReport DeviceInfoReply(bool connected) const;

    // The reports the mouse sends on its own.
    InputReport DpiReport() const;
    InputReport ConnectionReport(bool connected) const;

    // Presses the mouse's DPI button: selects the next level and returns the report.
    InputReport PressDpiButton();

    MouseSettings Settings() const;
    void SetSettings(const MouseSettings& settings);

    // Keeps the settings in `path`: loads them now when the file holds a settings file
    // (true), else writes the current ones there (false); from then on every change is
    // written. An empty path stops persisting.
    bool PersistIn(const std::string& path);

    int ChecksumErrors() const;

  private:
    void SaveLocked();
    InputReport AckLocked(std::span<const std::uint8_t> request, std::uint8_t status) const;
    InputReport DeviceInfoReplyLocked(bool connected) const;

    mutable std::mutex mutex_;
    MouseSettings settings_;
    std::vector<std::uint8_t> macro_assembly_;
    int checksum_errors_ = 0;
    std::string persist_path_;
};

}  // namespace quillora::sim
