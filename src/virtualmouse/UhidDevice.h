#pragma once

// One kernel HID device made through /dev/uhid. Each open of /dev/uhid is one device;
// closing the file destroys it, so a crash cannot leave a device behind. The kernel
// finishes adding the device after Create() returns (hidraw node, input device);
// StartSeen() tells when its driver has started it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillora::virtualmouse {

struct UhidDeviceIdentity {
    std::string name;  // HID_NAME, what hidapi reports as the product string
    std::string phys;
    std::string uniq;  // HID_UNIQ, hidapi's serial number
    std::uint16_t bus = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint32_t version = 0;  // hidapi's release number
    std::span<const std::uint8_t> descriptor;
};

// What the kernel asked of the device. Get and set report requests are answered by
// UhidDevice itself (with an I/O error: these collections have no feature reports).
struct UhidEvent {
    enum class Kind { Start, Stop, Open, Close, Output, Other };
    Kind kind = Kind::Other;
    std::vector<std::uint8_t> data;  // Output: the report, report ID first
};

class UhidDevice {
  public:
    UhidDevice() = default;
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // Opens `uhidPath` and asks the kernel for the device. False, with errno kept,
    // when the node cannot be opened or refuses the request.
    bool Create(const std::string& uhidPath, const UhidDeviceIdentity& identity);
    // Removes the device and closes the node; nothing when not created.
    void Destroy();

    bool IsCreated() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool StartSeen() const { return started_; }
    bool IsOpenByHost() const { return openCount_ > 0; }

    // Sends one input report (report ID first when the collection numbers reports).
    bool SendInput(std::span<const std::uint8_t> report);

    // The next event from the kernel, nothing when none is pending or the node failed.
    std::optional<UhidEvent> ReadEvent();

  private:
    bool WriteEvent(const void* event, std::size_t size);

    int fd_ = -1;
    bool started_ = false;
    int openCount_ = 0;
};

}  // namespace quillora::virtualmouse
