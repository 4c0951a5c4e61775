#include "update/FirmwareUpgrade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/Crc16.h"

namespace quillora {
namespace {

TEST(Crc16Modbus, KnownVectors) {
    struct Case {
        std::string bytes;
        std::uint16_t crc;
    };
    const Case cases[] = {
        {"123456789", 0x4B37},
        {"", 0xFFFF},
        {std::string("\x01\x03\x00\x00\x00\x0A", 6), 0xCDC5},  // a classic Modbus RTU frame
        {std::string(18, '\0'), 0xE471},
    };
    for (const Case& c : cases) {
        auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(Crc16Modbus({data, c.bytes.size()}), c.crc) << c.bytes;
    }
}

// Records every report and can fail the report with a given index.
struct FakeSender {
    std::vector<UpgradeReport> reports;
    int failAt = -1;
    UpgradeReportSender Sender() {
        return [this](const UpgradeReport& r) {
            reports.push_back(r);
            return static_cast<int>(reports.size()) - 1 != failAt;
        };
    }
};

struct Recorder {
    std::vector<int> percents;
    std::vector<int> pausesMs;
    UpgradeProgress Progress() {
        return [this](int p, int text) {
            EXPECT_EQ(text, kTextUpgradeWriting);
            percents.push_back(p);
        };
    }
    Pause Pauses() {
        return [this](std::chrono::milliseconds d) {
            pausesMs.push_back(static_cast<int>(d.count()));
        };
    }
};

std::vector<std::uint8_t> Image(size_t n) {
    std::vector<std::uint8_t> image(n);
    for (size_t i = 0; i < n; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + 1);  // never 0xFF for the first 36 bytes
    }
    return image;
}

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Checks every data report against the image: header, consecutive block numbers, the
// image bytes in order, 0xFF padding, unused sub-blocks all 0xFF, valid check values.
void ExpectDataReportsCarry(const std::vector<UpgradeReport>& data,
                            const std::vector<std::uint8_t>& image) {
    size_t offset = 0;
    size_t block = 0;
    for (size_t r = 0; r < data.size(); ++r) {
        const UpgradeReport& rep = data[r];
        SCOPED_TRACE("data report " + std::to_string(r));
        ASSERT_EQ(rep[0], 0x05);
        ASSERT_EQ(rep[1], 0x02);
        ASSERT_EQ(rep[3], 0x00);
        size_t used = rep[2] / kUpgradeSubBlockSize;
        ASSERT_EQ(rep[2] % kUpgradeSubBlockSize, 0u);
        ASSERT_TRUE(used >= 1 && used <= 3);
        for (size_t s = 0; s < 3; ++s) {
            const std::uint8_t* sub = rep.data() + 4 + s * 20;
            if (s >= used) {
                for (int i = 0; i < 20; ++i) {
                    EXPECT_EQ(sub[i], 0xFF) << "unused sub-block " << s;
                }
                continue;
            }
            EXPECT_EQ(Le16(sub), static_cast<std::uint16_t>(block)) << "sub-block " << s;
            for (size_t i = 0; i < 16; ++i, ++offset) {
                std::uint8_t want = offset < image.size() ? image[offset] : 0xFF;
                ASSERT_EQ(sub[2 + i], want) << "sub-block " << s << " byte " << i;
            }
            EXPECT_EQ(Le16(sub + 18), Crc16Modbus({sub, 18})) << "sub-block " << s;
            ++block;
        }
    }
    EXPECT_GE(offset, image.size());
    EXPECT_LT(offset - image.size(), 16u);
}

TEST(UpgradeReports, StartAndEndReports) {
    UpgradeReport start = BuildUpgradeStartReport();
    UpgradeReport end = BuildUpgradeEndReport();
    const std::uint8_t startHead[] = {0x05, 0x02, 0x02, 0x00, 0x01};
    const std::uint8_t endHead[] = {0x05, 0x02, 0x06, 0x00, 0x02};
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(start[i], i < 5 ? startHead[i] : 0xFF) << i;
        EXPECT_EQ(end[i], i < 5 ? endHead[i] : 0xFF) << i;
    }
}

TEST(UpgradeReports, SubBlockLayoutAndCheckValue) {
    std::vector<std::uint8_t> bytes(16, 0x00);
    UpgradeReport r = BuildUpgradeDataReport(bytes, 0x1234);
    EXPECT_EQ(r[2], 20);
    EXPECT_EQ(r[4], 0x34);  // block number, low byte first
    EXPECT_EQ(r[5], 0x12);
    const std::uint8_t covered[18] = {0x34, 0x12};
    std::uint16_t crc = Crc16Modbus(covered);
    EXPECT_EQ(r[22], crc & 0xFF);
    EXPECT_EQ(r[23], crc >> 8);
    EXPECT_EQ(r[24], 0xFF);
}

TEST(SendFirmwareImage, ReportSequencesForImageSizes) {
    struct Case {
        size_t size;
        std::vector<int> lengths;  // length byte of each data report
        std::vector<int> progress;
    };
    const Case cases[] = {
        {20, {40}, {}},
        {80, {60, 40}, {100}},
        {96, {60, 60}, {55, 100}},
        {100, {60, 60, 20}, {55, 100}},
        {48, {60}, {100}},
        {1, {20}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("image of " + std::to_string(c.size) + " bytes");
        std::vector<std::uint8_t> image = Image(c.size);
        FakeSender fake;
        Recorder rec;
        EXPECT_EQ(WriteFirmwareImage(image, fake.Sender(), rec.Progress(), rec.Pauses()),
                  FirmwareWrite::Written);
        ASSERT_EQ(fake.reports.size(), c.lengths.size() + 2);
        EXPECT_EQ(fake.reports.front(), BuildUpgradeStartReport());
        EXPECT_EQ(fake.reports.back(), BuildUpgradeEndReport());
        std::vector<UpgradeReport> data(fake.reports.begin() + 1, fake.reports.end() - 1);
        std::vector<int> lengths;
        for (const UpgradeReport& r : data) {
            lengths.push_back(r[2]);
        }
        EXPECT_EQ(lengths, c.lengths);
        EXPECT_EQ(rec.percents, c.progress);
        ExpectDataReportsCarry(data, image);
    }
}

TEST(SendFirmwareImage, EdgeCaseDetails) {
    // 100 bytes: the short report holds block 6 with 4 image bytes and 12 bytes 0xFF.
    std::vector<std::uint8_t> image = Image(100);
    FakeSender fake;
    ASSERT_TRUE(SendFirmwareImage(image, fake.Sender(), {}, {}));
    ASSERT_EQ(fake.reports.size(), 3u);
    const UpgradeReport& last = fake.reports[2];
    EXPECT_EQ(last[2], 20);
    EXPECT_EQ(Le16(&last[4]), 6);
    EXPECT_EQ(last[6], image[96]);
    EXPECT_EQ(last[9], image[99]);
    for (int i = 10; i < 22; ++i) {
        EXPECT_EQ(last[i], 0xFF) << i;
    }
    EXPECT_EQ(Le16(&fake.reports[1][4]), 3);  // second full report: blocks 3, 4, 5
    EXPECT_EQ(Le16(&fake.reports[1][44]), 5);
}

TEST(SendFirmwareImage, SixtyFourKibImage) {
    std::vector<std::uint8_t> image = Image(64 * 1024);
    FakeSender fake;
    Recorder rec;
    ASSERT_TRUE(SendFirmwareImage(image, fake.Sender(), rec.Progress(), rec.Pauses()));
    ASSERT_EQ(fake.reports.size(), 1366u);  // 1365 full reports and a 16-byte rest
    EXPECT_EQ(fake.reports.back()[2], 20);
    EXPECT_EQ(Le16(&fake.reports.back()[4]), 4095);
    ExpectDataReportsCarry(fake.reports, image);
    ASSERT_EQ(rec.percents.size(), 1365u);
    EXPECT_EQ(rec.percents.front(), 10);
    EXPECT_EQ(rec.percents.back(), 100);
    for (size_t i = 1; i < rec.percents.size(); ++i) {
        ASSERT_GE(rec.percents[i], rec.percents[i - 1]);
    }
    EXPECT_EQ(rec.pausesMs, (std::vector<int>{10, 10}));  // after the first two reports only
}

TEST(SendFirmwareImage, LargestNumberableImage) {
    std::vector<std::uint8_t> image = Image(kMaxFirmwareImageSize);
    FakeSender fake;
    ASSERT_EQ(WriteFirmwareImage(image, fake.Sender(), {}, {}), FirmwareWrite::Written);
    const UpgradeReport& last = fake.reports[fake.reports.size() - 2];
    EXPECT_EQ(last[2], 20);  // 1 MiB = 21845 full reports + one block
    EXPECT_EQ(Le16(&last[4]), 65535);
}

TEST(WriteFirmwareImage, FailurePaths) {
    struct Case {
        const char* name;
        size_t size;
        int failAt;  // index of the report that fails, -1 none
        bool withSender;
        FirmwareWrite expected;
        size_t reportsSent;
    };
    const Case cases[] = {
        {"start report fails", 96, 0, true, FirmwareWrite::StartFailed, 1},
        {"second data report fails", 200, 2, true, FirmwareWrite::TransferFailed, 3},
        {"short last report fails", 100, 3, true, FirmwareWrite::Written, 5},
        {"end report fails", 96, 3, true, FirmwareWrite::Written, 4},
        {"image over 1 MiB", kMaxFirmwareImageSize + 1, -1, true, FirmwareWrite::ImageRefused, 0},
        {"empty image", 0, -1, true, FirmwareWrite::ImageRefused, 0},
        {"no upgrade interface", 96, -1, false, FirmwareWrite::StartFailed, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> image = Image(c.size);
        FakeSender fake;
        fake.failAt = c.failAt;
        UpgradeReportSender send = c.withSender ? fake.Sender() : UpgradeReportSender{};
        EXPECT_EQ(WriteFirmwareImage(image, send, {}, {}), c.expected);
        EXPECT_EQ(fake.reports.size(), c.reportsSent);
        if (c.expected == FirmwareWrite::TransferFailed) {
            EXPECT_NE(fake.reports.back(), BuildUpgradeEndReport());
        }
    }
}

// An upgrade interface whose writes and reads follow a script.
class FakeChannel : public UpgradeChannel {
  public:
    std::vector<int> writeResults;  // consumed in order, then 64
    int readResult = 64;
    int writes = 0;
    int reads = 0;
    int lastTimeout = 0;
    int Write(std::span<const std::uint8_t> report) override {
        EXPECT_EQ(report.size(), 64u);
        int r = static_cast<size_t>(writes) < writeResults.size() ? writeResults[writes] : 64;
        ++writes;
        return r;
    }
    int Read(std::span<std::uint8_t>, int timeoutMs) override {
        ++reads;
        lastTimeout = timeoutMs;
        return readResult;
    }
};

TEST(SendUpgradeReport, RetryAfterAFailedWrite) {
    struct Case {
        const char* name;
        std::vector<int> writes;
        int read;
        bool expected;
        int writesMade;
        int readsMade;
        std::vector<int> pauses;
    };
    const Case cases[] = {
        {"first write goes out", {64}, 0, true, 1, 0, {}},
        {"retry answered", {0, 64}, 64, true, 2, 1, {3, 5}},
        {"write error, retry answered", {-1, -1}, 10, true, 2, 1, {3, 5}},
        {"retry unanswered", {0, 0}, 0, false, 2, 1, {3, 5}},
        {"read error", {0, 64}, -1, false, 2, 1, {3, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeChannel channel;
        channel.writeResults = c.writes;
        channel.readResult = c.read;
        Recorder rec;
        EXPECT_EQ(SendUpgradeReport(&channel, BuildUpgradeStartReport(), rec.Pauses()), c.expected);
        EXPECT_EQ(channel.writes, c.writesMade);
        EXPECT_EQ(channel.reads, c.readsMade);
        EXPECT_EQ(rec.pausesMs, c.pauses);
        if (c.readsMade > 0) {
            EXPECT_EQ(channel.lastTimeout, 1000);
        }
    }
    EXPECT_FALSE(SendUpgradeReport(nullptr, BuildUpgradeStartReport(), {}));
    EXPECT_FALSE(static_cast<bool>(MakeUpgradeReportSender(nullptr)));
}

TEST(SendUpgradeReport, SenderOverChannelDrivesWholeUpgrade) {
    FakeChannel channel;
    UpgradeReportSender send = MakeUpgradeReportSender(&channel, {});
    EXPECT_EQ(WriteFirmwareImage(Image(100), send, {}, {}), FirmwareWrite::Written);
    EXPECT_EQ(channel.writes, 5);
}

TEST(SelectUpgradeInterface, PicksUpgradeCollectionOfSameMouse) {
    const std::vector<HidInterfaceInfo> list = {
        {"/dev/hidraw0", 0x1234, 0x5678, 0xFF00, 0},  // configuration interface
        {"/dev/hidraw1", 0x1234, 0x9999, 0xFFEF, 0},  // another product
        {"/dev/hidraw2", 0x1234, 0x5678, 0xFFEF, 1},  // wrong usage
        {"/dev/hidraw3", 0x1234, 0x5678, 0xFFEF, 0},
        {"/dev/hidraw4", 0x1234, 0x5678, 0xFFEF, 0},  // later match loses
    };
    EXPECT_EQ(SelectUpgradeInterface(list, 0x1234, 0x5678), "/dev/hidraw3");
    EXPECT_EQ(SelectUpgradeInterface(list, 0x1234, 0x9999), "/dev/hidraw1");
    EXPECT_EQ(SelectUpgradeInterface(list, 0x4321, 0x5678), "");
    EXPECT_EQ(SelectUpgradeInterface({}, 0x1234, 0x5678), "");
}

}  // namespace
}  // namespace quillora
