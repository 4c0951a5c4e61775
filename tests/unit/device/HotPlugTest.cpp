#include <gtest/gtest.h>

#include <vector>

#include "device/DeviceChangeHandler.h"
#include "device/DevicePathIds.h"
#include "device/DeviceTask.h"
#include "device/ReportDescriptor.h"
#include "device/UdevHotPlugMonitor.h"

namespace quillora {
namespace {

TEST(DevicePathIds, ReadsIdentityAndInterfaceFromKernelPaths) {
    const struct {
        const char* devpath;
        int vendor, product, interfaceNumber;
    } cases[] = {
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2/0003:1209:0001.0004/hidraw/hidraw3",
         0x1209, 0x0001, 2},
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:1209:0A12.0001/hidraw/hidraw0",
         0x1209, 0x0A12, 0},
        {"/devices/pci0000:00/0000:00:14.0/usb3/3-1/3-1.4/3-1.4.2/3-1.4.2:1.1/"
         "0003:046D:C52B.000F/hidraw/hidraw12",
         0x046D, 0xC52B, 1},
        // uhid devices hang below a virtual device and have no USB interface
        {"/devices/virtual/misc/uhid/0003:1209:0002.0005/hidraw/hidraw1", 0x1209, 0x0002, -1},
    };
    for (const auto& c : cases) {
        const auto ids = ParseHidrawDevicePath(c.devpath);
        ASSERT_TRUE(ids.has_value()) << c.devpath;
        EXPECT_EQ(ids->vendorId, c.vendor) << c.devpath;
        EXPECT_EQ(ids->productId, c.product) << c.devpath;
        EXPECT_EQ(ids->interfaceNumber, c.interfaceNumber) << c.devpath;
    }
}

TEST(DevicePathIds, RejectsPathsWithoutAHidDevice) {
    for (const char* devpath : {
             "",
             "/devices/virtual/input/input5",
             "/devices/pci0000:00/usb1/1-2/1-2:1.2/hidraw/hidraw3",
             "/devices/pci0000:00/usb1/1-2/1-2:1.2/0003:12G9:0001.0004/hidraw/hidraw3",
             "/devices/pci0000:00/usb1/1-2/1-2:1.2/0003:1209:0001/hidraw/hidraw3",
             "/devices/x/0003:1209:0001.0004/hidraw",
         }) {
        EXPECT_FALSE(ParseHidrawDevicePath(devpath).has_value()) << devpath;
    }
}

TEST(DevicePathIds, ReadsHidIdProperty) {
    const auto ids = ParseHidIdProperty("0003:00001209:00000A12");
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(ids->bus, 3);
    EXPECT_EQ(ids->vendorId, 0x1209);
    EXPECT_EQ(ids->productId, 0x0A12);
    EXPECT_FALSE(ParseHidIdProperty("0003:0001209").has_value());
    EXPECT_FALSE(ParseHidIdProperty("0003:00011209:00000001").has_value());
}

// The configuration interface as the mice describe it: vendor page 0xFF01, usage 0x10,
// one 64-byte input and one 64-byte output report without a report ID.
const std::vector<std::uint8_t> kConfigDescriptor = {
    0x06, 0x01, 0xFF,                          // usage page 0xFF01
    0x09, 0x10,                                // usage 0x10
    0xA1, 0x01,                                // collection (application)
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,  // logical 0..255, size 8
    0x95, 0x40, 0x09, 0x01, 0x81, 0x02,        // count 64, input
    0x95, 0x40, 0x09, 0x02, 0x91, 0x02,        // count 64, output
    0xC0,
};

// A boot mouse: generic desktop page, usage 2, a nested physical collection.
const std::vector<std::uint8_t> kMouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01,
    0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0xC0, 0xC0,
};

// Numbered reports: report 5 has 63 data bytes out, report 6 has 8.
const std::vector<std::uint8_t> kNumberedDescriptor = {
    0x06, 0xEF, 0xFF, 0x09, 0x00, 0xA1, 0x01, 0x75, 0x08, 0x85, 0x05, 0x95, 0x3F, 0x09,
    0x01, 0x91, 0x02, 0x85, 0x06, 0x95, 0x04, 0x09, 0x02, 0x91, 0x02, 0x91, 0x02, 0xC0,
};

TEST(ReportDescriptor, TopLevelCollectionUsage) {
    EXPECT_EQ(TopLevelCollection(kConfigDescriptor), (CollectionUsage{0xFF01, 0x10}));
    EXPECT_EQ(TopLevelCollection(kMouseDescriptor), (CollectionUsage{0x0001, 0x02}));
    EXPECT_EQ(TopLevelCollection(kNumberedDescriptor), (CollectionUsage{0xFFEF, 0x00}));
    // An extended (four-byte) usage names its own page.
    const std::vector<std::uint8_t> extended = {0x0B, 0x10, 0x00, 0x01, 0xFF, 0xA1, 0x01, 0xC0};
    EXPECT_EQ(TopLevelCollection(extended), (CollectionUsage{0xFF01, 0x10}));
}

TEST(ReportDescriptor, TruncatedOrEmptyDescriptorsGiveNothing) {
    EXPECT_FALSE(TopLevelCollection({}).has_value());
    const std::vector<std::uint8_t> cut(kConfigDescriptor.begin(), kConfigDescriptor.begin() + 2);
    EXPECT_FALSE(TopLevelCollection(cut).has_value());
    const std::vector<std::uint8_t> longItem = {0xFE, 0x10};  // long item without its data
    EXPECT_FALSE(TopLevelCollection(longItem).has_value());
}

TEST(ReportDescriptor, OutputReportLength) {
    EXPECT_EQ(OutputReportLength(kConfigDescriptor, 0), 64u);
    EXPECT_FALSE(OutputReportLength(kMouseDescriptor, 0).has_value());
    EXPECT_EQ(OutputReportLength(kNumberedDescriptor, 5), 63u);
    EXPECT_EQ(OutputReportLength(kNumberedDescriptor, 6), 8u);
    EXPECT_FALSE(OutputReportLength(kNumberedDescriptor, 0).has_value());
}

TEST(ReportDescriptor, ConfigurationUsages) {
    EXPECT_TRUE(IsConfigurationUsage(0x0001, 0x0000));
    EXPECT_TRUE(IsConfigurationUsage(0xFF01, 0x0010));
    EXPECT_FALSE(IsConfigurationUsage(0x0001, 0x0002));
    EXPECT_FALSE(IsConfigurationUsage(0xFF01, 0x0000));
    EXPECT_FALSE(IsConfigurationUsage(0xFFEF, 0x0000));
}

class DeviceChange : public ::testing::Test {
  protected:
    // Cable 1209:0001, receiver 1209:0002, and the cable again under a second model.
    std::vector<UsbIds> catalogue = {{0x1209, 0x0001}, {0x1209, 0x0002}, {0x1209, 0x0001}};
    std::vector<std::string> tested;

    CollectionTest Collections(bool supported) {
        return [this, supported](const std::string& path) {
            tested.push_back(path);
            return supported;
        };
    }
    static HotPlugEvent Event(HotPlugEvent::Action action, int vid, int pid, int iface) {
        return HotPlugEvent{action, "/dev/hidraw7", vid, pid, iface};
    }
};

TEST_F(DeviceChange, ArrivalOfSupportedCollectionQueuesDiscovery) {
    const auto event = Event(HotPlugEvent::Action::Arrival, 0x1209, 0x0002, 1);
    EXPECT_EQ(TaskForDeviceChange(event, catalogue, false, Collections(true)), kTaskArrival);
    EXPECT_EQ(tested, std::vector<std::string>{"/dev/hidraw7"});
}

TEST_F(DeviceChange, ArrivalOfOtherCollectionOrUnknownMouseQueuesNothing) {
    EXPECT_EQ(TaskForDeviceChange(Event(HotPlugEvent::Action::Arrival, 0x1209, 0x0001, 0),
                                  catalogue, true, Collections(false)),
              std::nullopt);
    tested.clear();
    EXPECT_EQ(TaskForDeviceChange(Event(HotPlugEvent::Action::Arrival, 0x046D, 0xC52B, 2),
                                  catalogue, true, Collections(true)),
              std::nullopt);
    EXPECT_TRUE(tested.empty());  // an unknown mouse is not even opened
}

TEST_F(DeviceChange, RemovalOfInterfaceTwoQueuesRemovalWhileInterfacesAreOpen) {
    const struct {
        int pid, iface;
        bool present;
        std::optional<int> task;
    } cases[] = {
        {0x0001, 2, true, kTaskRemoval},  {0x0002, 2, true, kTaskRemoval},
        {0x0001, 2, false, std::nullopt},  // nothing open: ignored
        {0x0001, 0, true, std::nullopt},  {0x0001, 1, true, std::nullopt},
        {0x0001, -1, true, std::nullopt},  // uhid: no interface number
        {0x0003, 2, true, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto event = Event(HotPlugEvent::Action::Removal, 0x1209, c.pid, c.iface);
        EXPECT_EQ(TaskForDeviceChange(event, catalogue, c.present, Collections(true)), c.task)
            << c.pid << " " << c.iface << " " << c.present;
    }
    EXPECT_TRUE(tested.empty());  // removals never open anything
}

TEST(UdevHotPlugMonitor, OpensAndHasNothingPending) {
    UdevHotPlugMonitor monitor;
    if (!monitor.Open()) {
        GTEST_SKIP() << "no netlink socket for udev in this environment";
    }
    EXPECT_GE(monitor.Fd(), 0);
    EXPECT_FALSE(monitor.ReadEvent().has_value());
    monitor.Close();
    EXPECT_EQ(monitor.Fd(), -1);
}

}  // namespace
}  // namespace quillora
