#include "ui/DpiAwareness.h"

#include <gtest/gtest.h>

namespace quillora::ui {
namespace {

constexpr MonitorDpi Dpi(int dpi) {
    return {MonitorDpiQuery::Answered, dpi};
}

struct DpiCase {
    int width;
    int height;
    MonitorDpi monitor;
    bool aware;
    bool reportFailure;
};

class DpiDecisionTest : public ::testing::TestWithParam<DpiCase> {};

TEST_P(DpiDecisionTest, Decides) {
    const DpiCase& c = GetParam();
    const DpiDecision decision = DecideDpiAwareness(c.width, c.height, c.monitor);
    EXPECT_EQ(decision.dpiAware, c.aware);
    EXPECT_EQ(decision.reportQueryFailure, c.reportFailure);
}

INSTANTIATE_TEST_SUITE_P(
    DpiAwareness, DpiDecisionTest,
    ::testing::Values(
        // Small screens are always aware, whatever the monitor says.
        DpiCase{1399, 1080, Dpi(96), true, false}, DpiCase{1400, 799, Dpi(96), true, false},
        DpiCase{1366, 768, {MonitorDpiQuery::Failed, 0}, true, false},
        DpiCase{1400, 800, Dpi(144), false, false},
        // 1920 x 1080: only 144, 168 and 192 dpi.
        DpiCase{1920, 1080, Dpi(144), true, false}, DpiCase{1920, 1080, Dpi(168), true, false},
        DpiCase{1920, 1080, Dpi(192), true, false}, DpiCase{1920, 1080, Dpi(120), false, false},
        DpiCase{1920, 1080, Dpi(96), false, false}, DpiCase{1920, 1080, Dpi(145), false, false},
        DpiCase{1920, 1080, {MonitorDpiQuery::Unavailable, 144}, false, false},
        DpiCase{1920, 1080, {MonitorDpiQuery::NoMonitor, 144}, false, false},
        DpiCase{1920, 1080, {MonitorDpiQuery::Failed, 144}, false, true},
        // Any other large size never asks the monitor, so never reports a failure.
        DpiCase{1920, 1200, Dpi(144), false, false},
        DpiCase{2560, 1440, {MonitorDpiQuery::Failed, 0}, false, false},
        DpiCase{1080, 1920, Dpi(144), true, false}));

}  // namespace
}  // namespace quillora::ui
