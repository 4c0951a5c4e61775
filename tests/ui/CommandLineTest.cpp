#include "ui/CommandLine.h"

#include <gtest/gtest.h>

namespace quillora::ui {
namespace {

struct SwitchCase {
    std::vector<std::string> arguments;
    bool hide;
    bool autorun;
};

class SwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, FindsHideAndAutorunAsSubstrings) {
    const ParsedCommandLine parsed = ParseCommandLine(GetParam().arguments);
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_EQ(parsed.options.hide, GetParam().hide);
    EXPECT_EQ(parsed.options.autorun, GetParam().autorun);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, SwitchTest,
    ::testing::Values(SwitchCase{{}, false, false}, SwitchCase{{"-hide"}, true, false},
                      // Inside a longer word still counts; capitals do not.
                      SwitchCase{{"--nothing-hidewhat"}, true, false},
                      SwitchCase{{"-HIDE"}, false, false}, SwitchCase{{"-Hide"}, false, false},
                      SwitchCase{{"-autorun"}, false, true},
                      SwitchCase{{"-autorun", "-hide"}, true, true},
                      // " -autorun" needs the blank: glued to another word it is not found.
                      SwitchCase{{"x-autorun"}, false, false},
                      SwitchCase{{"-platform", "offscreen"}, false, false},
                      // Our own options' values are not searched.
                      SwitchCase{{"--app-dir", "/opt/x-hide"}, false, false},
                      SwitchCase{{"--config-dir=/tmp/ -autorun"}, false, false},
                      SwitchCase{{"--simulate", "cable-hide"}, false, false}));

TEST(CommandLine, ReadsFoldersInBothSpellings) {
    const ParsedCommandLine parsed =
        ParseCommandLine({"--app-dir", "/a/", "--data-dir=/d/", "--config-dir", "/c/", "-hide"});
    ASSERT_TRUE(parsed.Ok());
    EXPECT_EQ(parsed.options.folders.applicationFolder, "/a/");
    EXPECT_EQ(parsed.options.folders.dataFolder, "/d/");
    EXPECT_EQ(parsed.options.folders.configFolder, "/c/");
    EXPECT_TRUE(parsed.options.hide);
}

TEST(CommandLine, SimulateTakesOptionalDevices) {
    struct Case {
        std::vector<std::string> arguments;
        std::optional<std::string> simulate;
        bool hide;
    };
    const Case cases[] = {
        {{"--simulate"}, std::string(), false},
        {{"--simulate", "receiver:battery=40"}, std::string("receiver:battery=40"), false},
        {{"--simulate", "-hide"}, std::string(), true},
        {{"--simulate=cable+receiver"}, std::string("cable+receiver"), false},
        {{"-hide"}, std::nullopt, true},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
        ASSERT_TRUE(parsed.Ok()) << parsed.error;
        EXPECT_EQ(parsed.options.simulate, c.simulate) << c.arguments.front();
        EXPECT_EQ(parsed.options.hide, c.hide) << c.arguments.front();
    }
}

TEST(CommandLine, SendNeedsTwoDecimals) {
    const ParsedCommandLine good = ParseCommandLine({"--send", "1691", "610"});
    ASSERT_TRUE(good.Ok());
    ASSERT_TRUE(good.options.send.has_value());
    EXPECT_EQ(good.options.send->message, 1691);
    EXPECT_EQ(good.options.send->param, 610);

    const std::vector<std::vector<std::string>> bad = {{"--send"},
                                                       {"--send", "1691"},
                                                       {"--send", "16x1", "610"},
                                                       {"--send", "1691", ""},
                                                       {"--send", "1691", "6 10"}};
    for (const auto& arguments : bad) {
        EXPECT_FALSE(ParseCommandLine(arguments).Ok()) << arguments.size();
    }
}

TEST(CommandLine, FolderOptionsWithoutValueAreErrors) {
    for (const char* option : {"--app-dir", "--data-dir", "--config-dir"}) {
        EXPECT_FALSE(ParseCommandLine({option}).Ok()) << option;
        EXPECT_FALSE(ParseCommandLine({std::string(option) + "="}).Ok()) << option;
    }
}

TEST(CommandLine, StartsHiddenOnHideOrMinimisedAutostart) {
    struct Case {
        bool hide;
        bool autorun;
        int autorunMinimize;
        bool hidden;
    };
    const Case cases[] = {
        {false, false, 0, false}, {false, false, 1, false}, {true, false, 0, true},
        {false, true, 0, false},  {false, true, 1, true},   {false, true, 2, false},
        {true, true, 0, true},
    };
    for (const Case& c : cases) {
        StartupOptions options;
        options.hide = c.hide;
        options.autorun = c.autorun;
        EXPECT_EQ(StartsHidden(options, c.autorunMinimize), c.hidden)
            << c.hide << c.autorun << c.autorunMinimize;
    }
}

}  // namespace
}  // namespace quillora::ui
