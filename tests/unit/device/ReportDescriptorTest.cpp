#include "device/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/WireLog.h"

namespace quillora {
namespace {

// Vendor collection without report IDs: 64-byte input and output reports.
const std::vector<std::uint8_t> kVendor64 = {0x06, 0x01, 0xFF,  // usage page 0xFF01
                                             0x09, 0x10,        // usage 0x10
                                             0xA1, 0x01,        // collection (application)
                                             0x15, 0x00, 0x26, 0xFF, 0x00,  // logical 0..255
                                             0x75, 0x08,                    // report size 8
                                             0x95, 0x40,                    // report count 64
                                             0x09, 0x01, 0x81, 0x02,        // input
                                             0x09, 0x01, 0x91, 0x02,        // output
                                             0xC0};

// Report IDs 1 and 5 with two Output items on 5, a Push/Pop pair and a long item.
const std::vector<std::uint8_t> kWithIds = {
    0x06, 0xEF, 0xFF, 0x09, 0x00, 0xA1, 0x01, 0x85,
    0x01, 0x75, 0x08, 0x95, 0x07, 0x91, 0x02,        // id 1: 7 bytes
    0x85, 0x05, 0x75, 0x08, 0x95, 0x20, 0x91, 0x02,  // id 5: 32 bytes ...
    0xA4, 0x75, 0x01, 0x95, 0x03, 0x91, 0x02, 0xB4,  // ... + 3 bits (pushed size)
    0x95, 0x1F, 0x91, 0x02,                          // ... + 31 bytes after Pop
    0xFE, 0x02, 0x10, 0xAA, 0xBB,                    // long item, skipped
    0x96, 0x00, 0x01, 0x81, 0x02,                    // input with a 2-byte count
    0xC0};

TEST(ReportDescriptor, OutputLengthOfADescriptorWithoutIds) {
    EXPECT_EQ(OutputReportLength(kVendor64, 0), 64u);
    EXPECT_EQ(OutputReportLength(kVendor64, 1), std::nullopt);
}

TEST(ReportDescriptor, SumsOutputItemsPerReportIdRoundingBitsUp) {
    EXPECT_EQ(OutputReportLength(kWithIds, 1), 7u);
    EXPECT_EQ(OutputReportLength(kWithIds, 5), 32u + 1u + 31u);
    EXPECT_EQ(OutputReportLength(kWithIds, 0), std::nullopt);
}

TEST(ReportDescriptor, MalformedDescriptorsGiveNothing) {
    EXPECT_EQ(OutputReportLength({}, 0), std::nullopt);
    const std::vector<std::uint8_t> truncated = {0x75, 0x08, 0x96, 0x40};
    EXPECT_EQ(OutputReportLength(truncated, 0), std::nullopt);
    const std::vector<std::uint8_t> pop_without_push = {0xB4, 0x75, 0x08, 0x95, 0x01, 0x91, 0x02};
    EXPECT_EQ(OutputReportLength(pop_without_push, 0), std::nullopt);
    const std::vector<std::uint8_t> inputs_only = {0x75, 0x08, 0x95, 0x40, 0x81, 0x02};
    EXPECT_EQ(OutputReportLength(inputs_only, 0), std::nullopt);
}

TEST(ReportDescriptor, SysfsPathOfAHidrawNode) {
    EXPECT_EQ(ReportDescriptorPath("/dev/hidraw3"),
              "/sys/class/hidraw/hidraw3/device/report_descriptor");
    EXPECT_EQ(ReportDescriptorPath("/dev/input/event3"), "");
    EXPECT_EQ(ReportDescriptorPath("/dev/hidraw3/../sda"), "");
    EXPECT_EQ(ReportDescriptorPath("1-2:1.0"), "");
}

TEST(WireLog, FormatsDirectionInterfaceAndBytes) {
    const std::uint8_t bytes[] = {0x00, 0x0A, 0xFF};
    EXPECT_EQ(FormatWireLine(WireDirection::Write, 0, bytes), "W 0 00 0A FF");
    EXPECT_EQ(FormatWireLine(WireDirection::Read, 12, bytes), "R 12 00 0A FF");
    EXPECT_EQ(FormatWireLine(WireDirection::Write, kUpgradeInterfaceIndex, bytes), "W U 00 0A FF");
}

}  // namespace
}  // namespace quillora
