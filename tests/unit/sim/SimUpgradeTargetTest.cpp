// The simulated upgrade interface: what it takes, what it refuses, what it answers and
// what it reassembles, through the bus as the link reaches it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimFixture.h"
#include "sim/SimUpgradeTarget.h"

namespace quillora::sim {
namespace {

using Report = std::vector<std::uint8_t>;

Report Blank() {
    return Report(kUpgradeReportBytes, 0xFF);
}

Report Start() {
    Report r = Blank();
    r[0] = 0x05, r[1] = 0x02, r[2] = 0x02, r[3] = 0x00, r[4] = 0x01;
    return r;
}

Report End() {
    Report r = Blank();
    r[0] = 0x05, r[1] = 0x02, r[2] = 0x06, r[3] = 0x00, r[4] = 0x02;
    return r;
}

// One sub-block at `slot` of a data report: number, 16 bytes starting at `first`
// (counting up), check value over both (or `check` when given).
void PutBlock(Report& r, int slot, int number, std::uint8_t first, int check = -1) {
    const std::size_t at = 4 + 20 * slot;
    r[at] = static_cast<std::uint8_t>(number);
    r[at + 1] = static_cast<std::uint8_t>(number >> 8);
    for (int i = 0; i < 16; ++i) {
        r[at + 2 + i] = static_cast<std::uint8_t>(first + i);
    }
    const std::uint16_t crc =
        check >= 0 ? static_cast<std::uint16_t>(check)
                   : SimCrc16Modbus(std::span<const std::uint8_t>(r.data() + at, 18));
    r[at + 18] = static_cast<std::uint8_t>(crc);
    r[at + 19] = static_cast<std::uint8_t>(crc >> 8);
}

Report Data(int slots, int firstNumber, std::uint8_t firstByte) {
    Report r = Blank();
    r[0] = 0x05, r[1] = 0x02, r[2] = static_cast<std::uint8_t>(20 * slots), r[3] = 0x00;
    for (int s = 0; s < slots; ++s) {
        PutBlock(r, s, firstNumber + s, static_cast<std::uint8_t>(firstByte + 16 * s));
    }
    return r;
}

std::vector<std::uint8_t> Counting(std::uint8_t first, std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

TEST(SimCrc16, ModbusCheckValues) {
    const std::string text = "123456789";
    EXPECT_EQ(SimCrc16Modbus(std::span<const std::uint8_t>(
                  reinterpret_cast<const std::uint8_t*>(text.data()), text.size())),
              0x4B37);
    EXPECT_EQ(SimCrc16Modbus({}), 0xFFFF);
    const std::uint8_t zero[] = {0x00};
    EXPECT_EQ(SimCrc16Modbus(zero), 0x40BF);
}

class UpgradeTargetTest : public SimBusTest {
  protected:
    void SetUp() override {
        SimBusTest::SetUp();
        for (const HidDeviceInfo& info : bus.Enumerate(kCableId.vendor_id, kCableId.product_id)) {
            if (info.usage_page == kUpgradeUsagePage) {
                upgrade = bus.OpenPath(info.path);
            }
        }
        ASSERT_NE(upgrade, HidHandle::None);
    }

    int Write(const Report& r) { return bus.Write(upgrade, r.data(), r.size()); }
    UpgradeRecord Record() { return bus.UpgradeRecordOf(unit).value(); }

    HidHandle upgrade = HidHandle::None;
};

TEST_F(UpgradeTargetTest, ReassemblesATransferInOrder) {
    for (const Report& r : {Start(), Data(3, 0, 0x00), Data(2, 3, 0x30), End()}) {
        EXPECT_EQ(Write(r), 64);
    }
    UpgradeRecord rec = Record();
    EXPECT_TRUE(rec.started);
    EXPECT_TRUE(rec.ended);
    EXPECT_EQ(rec.image, Counting(0x00, 80));
    EXPECT_EQ(rec.blocks, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(rec.data_lengths, (std::vector<int>{60, 40}));
    EXPECT_EQ(rec.bad_checks + rec.bad_numbers + rec.bad_layout, 0);
    EXPECT_EQ(rec.reports_taken, 4);
    EXPECT_EQ(Read(upgrade).size(), 0u) << "answered without a refused write";
    EXPECT_EQ(bus.Written(unit).size(), 4u);
    EXPECT_EQ(bus.Written(unit).back().collection, 2);

    // A new start report begins the image again.
    EXPECT_EQ(Write(Start()), 64);
    EXPECT_EQ(Write(Data(1, 0, 0x80)), 64);
    rec = Record();
    EXPECT_FALSE(rec.ended);
    EXPECT_EQ(rec.image, Counting(0x80, 16));
    EXPECT_EQ(rec.reports_taken, 6);
}

TEST_F(UpgradeTargetTest, FindsWhatIsNotAsTheProtocolSays) {
    struct Case {
        const char* name;
        Report report;
        int checks, numbers, layout;
        std::size_t imageBytes;
    };
    Report badCheck = Data(1, 0, 0x00);
    PutBlock(badCheck, 0, 0, 0x00, 0x1234);
    Report skipped = Data(1, 1, 0x00);  // block 0 is due
    Report dirtyTail = Data(1, 0, 0x00);
    dirtyTail[63] = 0x00;  // the unused third sub-block must stay 0xFF
    Report badLength = Data(1, 0, 0x00);
    badLength[2] = 30;
    Report shortReport = Data(1, 0, 0x00);
    shortReport.resize(63);
    Report badId = Data(1, 0, 0x00);
    badId[0] = 0x04;
    Report dirtyStart = Start();
    dirtyStart[10] = 0x00;
    const Case cases[] = {
        {"wrong check value", badCheck, 1, 0, 0, 0},
        {"block out of sequence", skipped, 0, 1, 0, 0},
        {"unused sub-block not blank", dirtyTail, 0, 0, 1, 16},
        {"length not a sub-block multiple", badLength, 0, 0, 1, 0},
        {"63 bytes", shortReport, 0, 0, 1, 0},
        {"report id 4", badId, 0, 0, 1, 0},
        {"start with a dirty tail", dirtyStart, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Write(Start()), 64);
        EXPECT_EQ(Write(c.report), static_cast<int>(c.report.size()));  // taken all the same
        UpgradeRecord rec = Record();
        EXPECT_EQ(rec.bad_checks, c.checks);
        EXPECT_EQ(rec.bad_numbers, c.numbers);
        EXPECT_EQ(rec.bad_layout, c.layout);
        EXPECT_EQ(rec.image.size(), c.imageBytes);
    }

    // Data and end reports outside a transfer.
    ASSERT_EQ(Write(Start()), 64);
    ASSERT_EQ(Write(End()), 64);
    EXPECT_EQ(Write(Data(1, 0, 0x00)), 64);
    EXPECT_EQ(Write(End()), 64);
    EXPECT_EQ(Record().bad_layout, 2);
}

TEST_F(UpgradeTargetTest, RefusedWritesAndTheAnswerAfterThem) {
    Report bad = Data(3, 0, 0x00);
    PutBlock(bad, 1, 1, 0x10, 0x0000);
    const Report good = Data(3, 0, 0x00);
    struct Case {
        const char* name;
        UpgradeFaults faults;
        std::vector<Report> writes;  // written in turn, then one read
        std::vector<int> results;
        int answerStatus;  // -1: the read finds nothing
        std::vector<int> blocks;
    };
    const Case cases[] = {
        {"refused once, then taken and answered",
         {1, 1, true, -1},
         {Start(), good, good},
         {64, -1, 64},
         0,
         {0, 1, 2}},
        {"refused twice", {1, 2, true, -1}, {Start(), good, good}, {64, -1, -1}, -1, {}},
        {"taken silently after a refusal",
         {1, 1, false, -1},
         {Start(), good, good},
         {64, -1, 64},
         -1,
         {0, 1, 2}},
        {"the answer tells of a failed check",
         {1, 1, true, -1},
         {Start(), bad, bad},
         {64, -1, 64},
         1,
         {0}},
        {"refusing the start report", {0, 1, true, -1}, {Start(), Start()}, {-1, 64}, 0, {}},
        {"no faults: no answer", {}, {Start(), good}, {64, 64}, -1, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bus.SetUpgradeFaults(unit, c.faults);
        std::vector<int> results;
        for (const Report& r : c.writes) {
            results.push_back(Write(r));
        }
        EXPECT_EQ(results, c.results);
        std::vector<std::uint8_t> answer = Read(upgrade, 1000);
        if (c.answerStatus < 0) {
            EXPECT_TRUE(answer.empty());
        } else {
            ASSERT_EQ(answer.size(), 64u);
            EXPECT_EQ(answer[0], 0x05);
            EXPECT_EQ(answer[2], c.writes.back()[2]);  // which report it answers
            EXPECT_EQ(answer[4], c.answerStatus);
            EXPECT_TRUE(Read(upgrade, 1000).empty()) << "answered twice";
        }
        EXPECT_EQ(Record().blocks, c.blocks);
    }
}

TEST_F(UpgradeTargetTest, VanishesMidTransferAndKeepsItsRecord) {
    std::vector<BusEvent> events;
    bus.SetListener([&](const BusEvent& e) { events.push_back(e); });
    bus.SetUpgradeFaults(unit, {-1, 0, true, 2});
    EXPECT_EQ(Write(Start()), 64);
    EXPECT_EQ(Write(Data(3, 0, 0x00)), 64);
    EXPECT_EQ(Write(Data(3, 3, 0x30)), -1);
    EXPECT_EQ(Write(End()), -1);
    EXPECT_EQ(bus.ReadTimeout(upgrade, std::vector<std::uint8_t>(64).data(), 64, 10), -1);
    EXPECT_TRUE(bus.Enumerate(kCableId.vendor_id, kCableId.product_id).empty());
    EXPECT_EQ(events.size(), 3u);  // every collection of the unit went
    UpgradeRecord rec = Record();
    EXPECT_TRUE(rec.vanished);
    EXPECT_TRUE(rec.started);
    EXPECT_FALSE(rec.ended);
    EXPECT_EQ(rec.image, Counting(0x00, 48));
}

TEST_F(UpgradeTargetTest, OnlyCablesHaveOne) {
    UnitId receiver = bus.PlugReceiver(std::make_shared<SimMouse>(), kReceiverId);
    EXPECT_FALSE(bus.UpgradeRecordOf(receiver).has_value());
    EXPECT_FALSE(bus.UpgradeRecordOf(999).has_value());
}

}  // namespace
}  // namespace quillora::sim
