#pragma once

// The wire log: one line per report that crosses the HID seam, for bug reports and for
// tests that assert on the traffic. A line is "W" or "R", the interface's index in
// HidDeviceLink (or "U" for the firmware-upgrade interface), then the bytes in upper-case
// hex separated by blanks. Writes are logged as the protocol built them, before the
// transport pads them to the interface's report length; reads as the read returned them.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>

namespace quillora {

enum class WireDirection { Write, Read };

// Where the upgrade interface's lines go instead of an interface index.
inline constexpr int kUpgradeInterfaceIndex = -1;

std::string FormatWireLine(WireDirection direction, int interface_index,
                           std::span<const std::uint8_t> bytes);

class WireLogSink {
  public:
    virtual ~WireLogSink() = default;
    virtual void Record(WireDirection direction, int interface_index,
                        std::span<const std::uint8_t> bytes) = 0;
};

// Appends the lines to a file; each line is flushed as it is written so a crash keeps
// the traffic up to the fault.
class FileWireLog final : public WireLogSink {
  public:
    // Opens `path` for appending; Ok() is false when that failed (records are dropped).
    explicit FileWireLog(const std::string& path);
    ~FileWireLog() override;
    FileWireLog(const FileWireLog&) = delete;
    FileWireLog& operator=(const FileWireLog&) = delete;

    bool Ok() const { return file_ != nullptr; }
    void Record(WireDirection direction, int interface_index,
                std::span<const std::uint8_t> bytes) override;

  private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace quillora
