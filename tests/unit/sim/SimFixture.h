#pragma once

// A bus with one cabled mouse on a manual clock, opened at its configuration collection.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/Clock.h"
#include "device/ReportFrame.h"
#include "sim/SimBus.h"

namespace quillora::sim {

inline const UsbIdentity kCableId{0x3151, 0x4010, 0x0105, u"Sim Mouse"};
inline const UsbIdentity kReceiverId{0x3151, 0x4011, 0x0102, u"Sim Receiver"};

class SimBusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mouse = std::make_shared<SimMouse>();
        unit = bus.PlugCable(mouse, kCableId);
        handle = OpenConfig(unit);
        ASSERT_NE(handle, HidHandle::None);
    }

    HidHandle OpenConfig(UnitId id) {
        for (const HidDeviceInfo& info : bus.Enumerate(0, 0)) {
            if (info.path.rfind("sim:" + std::to_string(id) + ":", 0) == 0 &&
                (info.usage_page == kConfigUsagePage || info.usage_page == kReceiverUsagePage) &&
                info.usage != kMouseUsage) {
                return bus.OpenPath(info.path);
            }
        }
        return HidHandle::None;
    }

    int Send(HidHandle h, ReportFrame frame, std::size_t size = 33) {
        StoreChecksum(frame);
        return bus.Write(h, frame.data(), size);
    }

    // One read of up to 64 bytes; empty when nothing came within the timeout.
    std::vector<std::uint8_t> Read(HidHandle h, int timeout_ms = 30) {
        std::vector<std::uint8_t> buffer(64);
        int n = bus.ReadTimeout(h, buffer.data(), buffer.size(), timeout_ms);
        buffer.resize(n > 0 ? n : 0);
        return buffer;
    }

    std::vector<std::uint8_t> Exchange(const ReportFrame& frame, std::size_t size = 33) {
        EXPECT_EQ(Send(handle, frame, size), static_cast<int>(size));
        return Read(handle);
    }

    ManualClock clock;
    SimBus bus{clock};
    std::shared_ptr<SimMouse> mouse;
    UnitId unit = 0;
    HidHandle handle = HidHandle::None;
};

}  // namespace quillora::sim
