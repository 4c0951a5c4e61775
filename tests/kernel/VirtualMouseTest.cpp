// Host-side tests of the virtual mouse: the collections as the engine's own descriptor
// reader sees them, how replies become input reports, the command line and the record.

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "EchoFirmware.h"
#include "device/ReportDescriptor.h"
#include "virtualmouse/Collections.h"
#include "virtualmouse/ReportRecord.h"
#include "virtualmouse/VirtualMouseOptions.h"
#include "virtualmouse/VirtualMouseServer.h"

namespace {

using namespace quillora::virtualmouse;
using Bytes = std::vector<std::uint8_t>;

const CollectionLayout& Find(DeviceKind kind, Channel channel) {
    for (const CollectionLayout& layout : CollectionsOf(kind)) {
        if (layout.channel == channel)
            return layout;
    }
    ADD_FAILURE() << "no such collection";
    return CollectionsOf(kind).front();
}

TEST(VirtualMouseCollections, ConfigurationIsVendorCollectionWith64ByteUnnumberedReports) {
    const auto& layout = Find(DeviceKind::Cable, Channel::Configuration);
    const auto top = quillora::TopLevelCollection(layout.descriptor);
    ASSERT_TRUE(top);
    EXPECT_EQ(top->usagePage, 0xFF01);
    EXPECT_EQ(top->usage, 0x10);
    EXPECT_EQ(quillora::OutputReportLength(layout.descriptor, 0), 64u);
    EXPECT_EQ(layout.reportId, 0);
    EXPECT_EQ(layout.inputLength, 64u);
}

TEST(VirtualMouseCollections, UpgradeReportsAre64BytesCountingReportId5) {
    const auto& layout = Find(DeviceKind::Cable, Channel::Upgrade);
    const auto top = quillora::TopLevelCollection(layout.descriptor);
    ASSERT_TRUE(top);
    EXPECT_EQ(top->usagePage, 0xFFEF);
    EXPECT_EQ(top->usage, 0x00);
    EXPECT_EQ(quillora::OutputReportLength(layout.descriptor, 0x05), 63u);
    EXPECT_FALSE(quillora::OutputReportLength(layout.descriptor, 0));
    EXPECT_EQ(layout.reportId, 0x05);
}

TEST(VirtualMouseCollections, PointerIsPlainMouseWithoutOutputReport) {
    const auto& layout = Find(DeviceKind::Cable, Channel::Pointer);
    const auto top = quillora::TopLevelCollection(layout.descriptor);
    ASSERT_TRUE(top);
    EXPECT_EQ(top->usagePage, 0x0001);
    EXPECT_EQ(top->usage, 0x0002);
    EXPECT_FALSE(quillora::OutputReportLength(layout.descriptor, 0));
}

TEST(VirtualMouseCollections, ReceiverHasPointerAndGenericDesktopConfigurationOnly) {
    const auto receiver = CollectionsOf(DeviceKind::Receiver);
    ASSERT_EQ(receiver.size(), 2u);
    EXPECT_EQ(receiver[0].channel, Channel::Pointer);
    const auto& config = Find(DeviceKind::Receiver, Channel::Configuration);
    const auto top = quillora::TopLevelCollection(config.descriptor);
    ASSERT_TRUE(top);
    EXPECT_EQ(top->usagePage, 0x0001);
    EXPECT_EQ(top->usage, 0x0000);
    EXPECT_EQ(quillora::OutputReportLength(config.descriptor, 0), 64u);
}

TEST(VirtualMouseCollections, PlainMouseComesFirstSoDiscoveryMustSkipIt) {
    EXPECT_EQ(CollectionsOf(DeviceKind::Cable).front().channel, Channel::Pointer);
}

TEST(VirtualMouseFraming, ShortReplyIsZeroFilledToTheInputLength) {
    const Bytes reply = {0xC0, 0x01, 0x74, 0x0E};
    const Bytes report = FrameInputReport(Find(DeviceKind::Cable, Channel::Configuration), reply);
    ASSERT_EQ(report.size(), 64u);
    EXPECT_EQ(Bytes(report.begin(), report.begin() + 4), reply);
    EXPECT_EQ(report[4], 0);
    EXPECT_EQ(report[63], 0);
}

TEST(VirtualMouseFraming, LongReplyIsCut) {
    const Bytes reply(80, 0xAB);
    EXPECT_EQ(FrameInputReport(Find(DeviceKind::Cable, Channel::Configuration), reply),
              Bytes(64, 0xAB));
}

TEST(VirtualMouseFraming, UpgradeReplyGetsReportIdInFront) {
    Bytes reply(64);
    for (std::size_t i = 0; i < reply.size(); ++i)
        reply[i] = static_cast<std::uint8_t>(i + 1);
    const Bytes report = FrameInputReport(Find(DeviceKind::Cable, Channel::Upgrade), reply);
    ASSERT_EQ(report.size(), 64u);
    EXPECT_EQ(report[0], 0x05);
    EXPECT_EQ(report[1], 1);
    EXPECT_EQ(report[63], 63);  // the reply's 64th byte does not fit
}

ParsedOptions Parse(std::vector<std::string_view> args) {
    return ParseVirtualMouseOptions(args);
}

TEST(VirtualMouseOptionsTest, ProductIdFollowsTheKindUnlessGiven) {
    const auto cable = Parse({"cable"});
    ASSERT_TRUE(cable.options);
    EXPECT_EQ(cable.options->productId, 0x0001);
    const auto receiver = Parse({"receiver"});
    ASSERT_TRUE(receiver.options);
    EXPECT_EQ(receiver.options->kind, DeviceKind::Receiver);
    EXPECT_EQ(receiver.options->productId, 0x0002);
    const auto given = Parse({"--pid", "00a1", "receiver"});
    ASSERT_TRUE(given.options);
    EXPECT_EQ(given.options->productId, 0x00A1);
}

TEST(VirtualMouseOptionsTest, IdsAreHexWithOrWithoutPrefix) {
    const auto a = Parse({"cable", "--vid", "0x1209", "--release", "105"});
    ASSERT_TRUE(a.options);
    EXPECT_EQ(a.options->vendorId, 0x1209);
    EXPECT_EQ(a.options->release, 0x0105);
    const auto b = Parse({"cable", "--vid", "1209"});
    ASSERT_TRUE(b.options);
    EXPECT_EQ(b.options->vendorId, 0x1209);
}

TEST(VirtualMouseOptionsTest, BadCommandLinesAreRefusedWithAReason) {
    for (const auto& args : std::vector<std::vector<std::string_view>>{{},
                                                                       {"cable", "receiver"},
                                                                       {"cable", "--vid"},
                                                                       {"cable", "--vid", "12345"},
                                                                       {"cable", "--vid", "12g9"},
                                                                       {"cable", "--pid", ""},
                                                                       {"cable", "--bogus", "1"},
                                                                       {"mouse"}}) {
        const auto parsed = Parse(args);
        EXPECT_FALSE(parsed.options) << "accepted " << args.size() << " arguments";
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(VirtualMouseOptionsTest, PathsAreKept) {
    const auto p = Parse({"receiver", "--record", "/tmp/r", "--control", "/tmp/c", "--state",
                          "/tmp/s", "--uhid", "/dev/null", "--ready", "/tmp/f"});
    ASSERT_TRUE(p.options);
    EXPECT_EQ(p.options->recordPath, "/tmp/r");
    EXPECT_EQ(p.options->controlPath, "/tmp/c");
    EXPECT_EQ(p.options->statePath, "/tmp/s");
    EXPECT_EQ(p.options->uhidPath, "/dev/null");
    EXPECT_EQ(p.options->readyPath, "/tmp/f");
    EXPECT_TRUE(p.options->mouseOn);
    const auto off = Parse({"receiver", "--mouse-off"});
    ASSERT_TRUE(off.options);
    EXPECT_FALSE(off.options->mouseOn);
}

TEST(VirtualMouseControl, CommandsAreWholeWordsWithBlanksAndCarriageReturnIgnored) {
    EXPECT_EQ(ParseControlCommand("on"), ControlCommand::MouseOn);
    EXPECT_EQ(ParseControlCommand(" off\r"), ControlCommand::MouseOff);
    EXPECT_EQ(ParseControlCommand("dpi"), ControlCommand::DpiButton);
    EXPECT_EQ(ParseControlCommand("quit"), ControlCommand::Quit);
    EXPECT_FALSE(ParseControlCommand("o n"));
    EXPECT_FALSE(ParseControlCommand("online"));
    EXPECT_FALSE(ParseControlCommand(""));
}

TEST(VirtualMouseRecord, ReportLineHasDirectionChannelLengthAndUpperCaseHex) {
    const Bytes bytes = {0x00, 0xAB, 0x10};
    EXPECT_EQ(FormatReportLine("out", "config", bytes), "out config 3 00 AB 10");
    EXPECT_EQ(FormatReportLine("in", "upgrade", Bytes{}), "in upgrade 0");
}

TEST(EchoFirmwareTest, ReplyCarriesCommandStatusAndTheBytesAfterTheStatusPosition) {
    quillora::kerneltest::EchoFirmware echo;
    Bytes report(65);
    for (std::size_t i = 0; i < report.size(); ++i)
        report[i] = static_cast<std::uint8_t>(0x80 + i);
    report[0] = 0;
    const auto reply = echo.Handle(report);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 64u);
    EXPECT_EQ((*reply)[0], 0x81);  // the command byte
    EXPECT_EQ((*reply)[1], 0x00);  // status ok
    EXPECT_EQ((*reply)[2], 0x83);
    EXPECT_EQ((*reply)[63], 0x80 + 64);
}

TEST(EchoFirmwareTest, ShortReportLeavesTheRestZero) {
    quillora::kerneltest::EchoFirmware echo;
    Bytes report(33, 0x11);
    report[0] = 0;
    const auto reply = echo.Handle(report);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[31], 0x11);
    EXPECT_EQ((*reply)[32], 0x00);
    EXPECT_FALSE(echo.Handle(Bytes{0}));
}

}  // namespace
