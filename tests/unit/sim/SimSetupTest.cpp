#include "sim/SimSetup.h"

#include <gtest/gtest.h>

#include <string>

namespace quillora::sim {
namespace {

TEST(SimSetup, ParsesLinksAndEveryKey) {
    SimSetupResult r = ParseSimSetup(
        "cable+receiver:model=qm01,sensor=38,rate_cap=64,battery=77,firmware=0A05,mouse=off,"
        "nak=3,delay_ms=1");
    ASSERT_TRUE(r.setup) << r.error;
    const SimSetup& s = *r.setup;
    EXPECT_TRUE(s.cable);
    EXPECT_TRUE(s.receiver);
    EXPECT_EQ(s.model, "qm01");
    EXPECT_EQ(s.sensor, 38);
    EXPECT_EQ(s.rate_capability, 64);
    EXPECT_EQ(s.battery, 77);
    EXPECT_EQ(s.firmware, (std::array<std::uint8_t, 2>{0x0A, 0x05}));
    EXPECT_FALSE(s.mouse_on);
    EXPECT_EQ(s.nak, 3);
    EXPECT_EQ(s.delay, std::chrono::milliseconds(1));
}

TEST(SimSetup, BareLinksTakeTheDefaults) {
    SimSetup cable;
    cable.cable = true;
    EXPECT_EQ(ParseSimSetup("cable").setup, cable);
    SimSetup receiver;
    receiver.receiver = true;
    EXPECT_EQ(ParseSimSetup("receiver").setup, receiver);
    EXPECT_EQ(ParseSimSetup("receiver:").setup, receiver);
}

class SimSetupRefusal : public ::testing::TestWithParam<const char*> {};

TEST_P(SimSetupRefusal, SaysWhatIsWrong) {
    SimSetupResult r = ParseSimSetup(GetParam());
    EXPECT_FALSE(r.setup);
    EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Setups, SimSetupRefusal,
                         ::testing::Values("", "usb", "cable+", "cable:sensor", "cable:=5",
                                           "cable:sensor=256", "cable:sensor=-1", "cable:sensor=5x",
                                           "cable:firmware=105", "cable:firmware=01G5",
                                           "cable:mouse=maybe", "cable:colour=red", "cable:model=",
                                           "cable:delay_ms=70000", "cable:nak=two"));

TEST(SimSetup, IdentityKeysOverrideOnlyWhatTheyName) {
    MouseSettings s = FactorySettings(MouseSettings{});
    s.report_rate = 2;
    SimSetup setup = *ParseSimSetup("cable:sensor=150,firmware=0203").setup;
    ApplySetupIdentity(setup, s);
    EXPECT_EQ(s.sensor, 150);
    EXPECT_EQ(s.firmware, (std::array<std::uint8_t, 2>{2, 3}));
    EXPECT_EQ(s.rate_capability, MouseSettings{}.rate_capability);
    EXPECT_EQ(s.report_rate, 2);
}

}  // namespace
}  // namespace quillora::sim
