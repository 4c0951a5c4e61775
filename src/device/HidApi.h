#pragma once

// The seam between the device engine and the HID transport. The production backend is
// hidapi over Linux hidraw (HidapiBackend); the simulated mouse (src/sim) implements the
// same calls so every layer above can run without hardware.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillora {

// One HID top-level collection as the enumeration sees it.
struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::uint16_t release_number = 0;
    std::uint16_t usage_page = 0;
    std::uint16_t usage = 0;
    int interface_number = -1;
    std::u16string product_string;
};

// An open device. Zero never names an open device.
enum class HidHandle : std::uintptr_t { None = 0 };

class HidApi {
  public:
    virtual ~HidApi() = default;

    // 0 on success, -1 on failure (as hid_init / hid_exit).
    virtual int Init() = 0;
    virtual int Exit() = 0;

    // Every collection with those ids; 0 matches any id. The list is returned by value,
    // so there is nothing to free.
    virtual std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendor_id,
                                                 std::uint16_t product_id) = 0;

    virtual HidHandle OpenPath(const std::string& path) = 0;
    virtual void Close(HidHandle handle) = 0;

    // data[0] is the report ID. Returns the bytes written or -1.
    virtual int Write(HidHandle handle, const std::uint8_t* data, std::size_t length) = 0;

    // Copies at most `length` bytes of one input report (without a report ID of 0).
    // Returns the bytes copied, 0 when nothing arrived within timeout_ms, -1 on error.
    virtual int ReadTimeout(HidHandle handle, std::uint8_t* data, std::size_t length,
                            int timeout_ms) = 0;

    // 0 on success (with `out` holding at most max_chars units), -1 on failure.
    virtual int GetProductString(HidHandle handle, std::u16string& out, std::size_t max_chars) = 0;
};

}  // namespace quillora
