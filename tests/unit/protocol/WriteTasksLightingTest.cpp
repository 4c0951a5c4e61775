// Tasks 8 and 17 against the simulated mouse: every lighting mode's frame, and the
// mouse's own reset read back into the store.

#include "FrameExpect.h"
#include "WriteTaskFixture.h"

namespace quillora::write_test {
namespace {

using testing_support::FrameIs;

// Colours 0x00BBGGRR: blue, green, red, none, 0x123456, none, 0x010203.
const std::array<int, 7> kColors = {0xFF0000, 0x00FF00, 0x0000FF, 0, 0x123456, 0, 0x010203};

struct ModeCase {
    int mode;
    const char* prefix;
    std::uint8_t checksum;
};

TEST_F(WriteTaskTest, EveryLightingModeGoesOutInItsLayout) {
    const ModeCase cases[] = {
        {0, "00 05 00 01 02 00 43", 0x43},
        {1, "00 05 00 01 03 01 43 00", 0x44},
        {2,
         "00 05 00 01 18 02 43 07 00 00 FF 00 FF 00 FF 00 00 00 00 00 56 34 12 00 00 00 03 02 01",
         0xEB},
        {3, "00 05 00 01 05 03 43 00 00 FF", 0x45},
        {4, "00 05 00 01 02 04 43", 0x47},
        {5, "00 05 00 01 02 05 43", 0x48},
        {6, "00 05 00 01 00", 0x00},
        {9, "00 05 00 01 00", 0x00},
    };
    for (const ModeCase& c : cases) {
        AddLight(c.mode, 4, 3, kColors);
    }
    for (const ModeCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        session.Update([&](DeviceState& s) { s.currentLightMode = c.mode; });
        ASSERT_TRUE(store.SetActiveLightMode(1, c.mode));
        const sim::MouseSettings before_mouse = Mouse();
        const StoreContents before = Contents();
        bus.ClearWritten();

        ASSERT_TRUE(WriteLighting(context));

        const Wire wire = Written();
        ASSERT_EQ(wire.size(), 1u);
        EXPECT_EQ(wire[0].size(), 65u);
        EXPECT_TRUE(FrameIs(AsFrame(wire[0]), c.prefix, c.checksum));
        const sim::MouseSettings held = Mouse();
        if (c.mode <= 5) {
            EXPECT_EQ(held.light_mode, c.mode);
            EXPECT_EQ(held.light_parameter, 0x43);
            EXPECT_TRUE(
                std::equal(held.light_data.begin(), held.light_data.end(), wire[0].begin() + 7));
        } else {
            // An empty frame selects nothing on the mouse.
            EXPECT_EQ(held, before_mouse);
        }
        EXPECT_EQ(Contents(), before);
    }
}

TEST_F(WriteTaskTest, LightingParameterPacksBrightnessAndSpeed) {
    AddLight(4, 5, 10);
    session.Update([](DeviceState& s) { s.currentLightMode = 4; });
    ASSERT_TRUE(WriteLighting(context));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_TRUE(FrameIs(AsFrame(Written()[0]), "00 05 00 01 02 04 5A", 0x5E));
}

TEST_F(WriteTaskTest, LightingMakesTheCurrentModeActiveFirst) {
    AddLight(1, 4, 2);
    AddLight(3, 2, 1, kColors);
    ASSERT_TRUE(store.SetActiveLightMode(1, 1));
    session.Update([](DeviceState& s) { s.currentLightMode = 3; });

    ASSERT_TRUE(WriteLighting(context));

    EXPECT_EQ(store.GetActiveLightMode(1), 3);
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0][5], 0x03);
}

TEST_F(WriteTaskTest, LightingWithoutARowForTheModeSendsNothing) {
    AddLight(1, 4, 2);
    session.Update([](DeviceState& s) { s.currentLightMode = 2; });
    const sim::MouseSettings before = Mouse();
    EXPECT_TRUE(WriteLighting(context));
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(Mouse(), before);
    EXPECT_TRUE(view.Calls().empty());
}

// The simulated mouse's factory lighting: mode 1, brightness 4, speed 2.
class ResetLightingTest : public WriteTaskTest {
  protected:
    void Prepare(Link kind) {
        Open(kind, true);
        AddLight(1, 1, 9);
        AddLight(3, 3, 3, kColors);
        ASSERT_TRUE(store.SetActiveLightMode(1, 3));
        session.Update([](DeviceState& s) { s.currentLightMode = 3; });
        sim::MouseSettings m = Mouse();
        m.light_mode = 3;
        m.light_parameter = 0x33;
        mouse->SetSettings(m);
    }
};

TEST_F(ResetLightingTest, ReadsTheMousesLightingBackIntoTheStore) {
    Prepare(Link::Cable);
    const auto start = clock.Now();

    ASSERT_TRUE(ResetLightingTask(context));

    const Wire wire = Written();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].size(), 33u);
    EXPECT_TRUE(FrameIs(AsFrame(wire[0]), "00 0E 00 01 01 01", 0x01));
    EXPECT_EQ(wire[1].size(), 33u);
    EXPECT_TRUE(FrameIs(AsFrame(wire[1]), "00 15", 0x00));
    EXPECT_GE(clock.Now() - start, std::chrono::milliseconds(100));

    EXPECT_EQ(session.Snapshot().currentLightMode, 1);
    EXPECT_EQ(store.GetActiveLightMode(1), 1);
    LightRecord one;
    ASSERT_TRUE(store.GetLight(1, 1, one));
    EXPECT_EQ(one.brightness, 4);
    EXPECT_EQ(one.speed, 2);
    LightRecord three;
    ASSERT_TRUE(store.GetLight(1, 3, three));
    EXPECT_EQ(three.brightness, 3);
    EXPECT_EQ(three.color_value1, kColors[0]);
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"RefreshPages 16"});
}

TEST_F(ResetLightingTest, ModeWithoutARowOnlyBecomesCurrent) {
    Prepare(Link::Cable);
    // Profile 2 has no rows at all.
    session.Update([](DeviceState& s) { s.currentProfile = 2; });
    ASSERT_TRUE(ResetLightingTask(context));
    EXPECT_EQ(session.Snapshot().currentLightMode, 1);
    std::vector<LightRecord> rows;
    EXPECT_EQ(store.ListLights(2, rows), 0);
    LightRecord one;
    ASSERT_TRUE(store.GetLight(1, 1, one));
    EXPECT_EQ(one.brightness, 1);
}

TEST_F(ResetLightingTest, FailedReadBackKeepsTheStoreAndStillRefreshesThePage) {
    for (Link kind : {Link::Cable, Link::Receiver}) {
        SCOPED_TRACE(LinkName(kind));
        Prepare(kind);
        bus.SetFaults(unit, {.drop = 2});
        const StoreContents before = Contents();

        EXPECT_FALSE(ResetLightingTask(context));

        EXPECT_EQ(Commands(), (std::vector<int>{0x0E, 0x15}));
        EXPECT_EQ(Contents(), before);
        EXPECT_EQ(session.Snapshot().currentLightMode, 3);
        // The reset's answer is not used and the query is a read: no link refresh.
        EXPECT_EQ(view.Calls(), std::vector<std::string>{"RefreshPages 16"});
    }
}

TEST_F(ResetLightingTest, RefusedResetStillReadsBack) {
    Prepare(Link::Receiver);
    bus.SetFaults(unit, {.refuse = 1});
    EXPECT_FALSE(ResetLightingTask(context));
    EXPECT_EQ(Commands(), (std::vector<int>{0x0E, 0x15}));
    EXPECT_EQ(session.Snapshot().currentLightMode, 1);
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"RefreshPages 16"});
}

}  // namespace
}  // namespace quillora::write_test
