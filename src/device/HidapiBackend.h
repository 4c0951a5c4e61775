#pragma once

// The production HID transport: hidapi over Linux hidraw.

#include <map>
#include <mutex>
#include <vector>

#include "device/HidApi.h"

namespace quillora {

class HidapiBackend final : public HidApi {
  public:
    // Data bytes of an output report when the descriptor cannot be read.
    static constexpr std::size_t kDefaultOutputBytes = 64;

    int Init() override;
    int Exit() override;
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendor_id,
                                         std::uint16_t product_id) override;
    HidHandle OpenPath(const std::string& path) override;
    void Close(HidHandle handle) override;
    // Pads a shorter buffer with zeros to the report ID byte plus the interface's output
    // report length, as the device expects.
    int Write(HidHandle handle, const std::uint8_t* data, std::size_t length) override;
    int ReadTimeout(HidHandle handle, std::uint8_t* data, std::size_t length,
                    int timeout_ms) override;
    int GetProductString(HidHandle handle, std::u16string& out, std::size_t max_chars) override;

  private:
    std::mutex mutex_;
    std::map<HidHandle, std::vector<std::uint8_t>> descriptor_;  // report descriptors
};

// hidapi's wide strings are UTF-32 on Linux; the program keeps UTF-16.
std::u16string WideToUtf16(const wchar_t* text);

}  // namespace quillora
