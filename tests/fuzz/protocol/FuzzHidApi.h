#pragma once

// A HID transport that plays back fuzz input: one catalogued configuration interface
// (cable or receiver, by the first input byte), and every read returns the next chunk
// of the input as one report (a length byte, then up to 64 bytes), or nothing once the
// input is used up. Writes always succeed. Shared by the engine fuzz targets.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "device/HidApi.h"

namespace quillora::fuzz {

class FuzzHidApi final : public HidApi {
  public:
    explicit FuzzHidApi(std::span<const std::uint8_t> input) : input_(input) {
        receiver_ = !input_.empty() && (input_[0] & 1) != 0;
        if (!input_.empty()) {
            input_ = input_.subspan(1);
        }
    }

    int Init() override { return 0; }
    int Exit() override { return 0; }
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t, std::uint16_t) override {
        HidDeviceInfo info;
        info.path = "fuzz:0";
        info.vendor_id = 0x1209;
        info.product_id = receiver_ ? 0x0003 : 0x0001;  // the receiver counts any code
        info.usage_page = receiver_ ? 0x0001 : 0xFF01;
        info.usage = receiver_ ? 0x0000 : 0x0010;
        info.interface_number = 2;
        return {info};
    }
    HidHandle OpenPath(const std::string&) override { return static_cast<HidHandle>(1); }
    void Close(HidHandle) override {}
    int Write(HidHandle, const std::uint8_t*, std::size_t length) override {
        return static_cast<int>(length);
    }
    int ReadTimeout(HidHandle, std::uint8_t* data, std::size_t length, int) override {
        if (input_.empty()) {
            return 0;
        }
        const std::size_t want = std::min<std::size_t>(input_[0] % 65, input_.size() - 1);
        const std::size_t n = std::min(want, length);
        std::memcpy(data, input_.data() + 1, n);
        input_ = input_.subspan(1 + want);
        return static_cast<int>(n);
    }
    int GetProductString(HidHandle, std::u16string& out, std::size_t) override {
        out = u"fuzz";
        return 0;
    }

  private:
    std::span<const std::uint8_t> input_;
    bool receiver_ = false;
};

}  // namespace quillora::fuzz
