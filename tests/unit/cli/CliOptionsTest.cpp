#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include "cli/Json.h"

namespace quillora::cli {
namespace {

TEST(CliOptions, GlobalOptionsThenCommandAndItsArguments) {
    const ParseResult r = ParseCommandLine({"--app-dir", "/a", "--data-dir=/d", "--json",
                                            "--simulate", "cable+receiver:sensor=53", "--model",
                                            "wren_mini", "dpi", "level", "2", "800"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->appDir, "/a");
    EXPECT_EQ(r.options->dataDir, "/d");
    EXPECT_TRUE(r.options->json);
    EXPECT_EQ(r.options->simulate, "cable+receiver:sensor=53");
    EXPECT_EQ(r.options->model, "wren_mini");
    EXPECT_EQ(r.options->command, "dpi");
    EXPECT_EQ(r.options->args, (std::vector<std::string>{"level", "2", "800"}));
    EXPECT_FALSE(r.options->help);
}

TEST(CliOptions, OptionsAfterTheCommandBelongToIt) {
    const ParseResult r = ParseCommandLine({"button", "3", "keyboard", "--ctrl", "B"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->args, (std::vector<std::string>{"3", "keyboard", "--ctrl", "B"}));
}

TEST(CliOptions, HelpBeforeOrAfterTheCommand) {
    const ParseResult overview = ParseCommandLine({"--help"});
    ASSERT_TRUE(overview.options);
    EXPECT_TRUE(overview.options->help);
    EXPECT_EQ(overview.options->command, "");
    const ParseResult command = ParseCommandLine({"probe", "--help"});
    ASSERT_TRUE(command.options);
    EXPECT_TRUE(command.options->help);
    EXPECT_EQ(command.options->command, "probe");
}

TEST(CliOptions, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},                         // no command
        {"--json"},                 // still no command
        {"--app-dir"},              // value missing
        {"--app-dir="},             // empty value
        {"--frobnicate", "probe"},  // unknown option
        {"--json=yes", "probe"},    // a flag takes no value
    };
    for (const auto& args : cases) {
        const ParseResult r = ParseCommandLine(args);
        EXPECT_FALSE(r.options.has_value()) << (args.empty() ? "(none)" : args[0]);
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(CliOptions, EmptySimulateValueIsKeptForTheSetupParserToJudge) {
    const ParseResult r = ParseCommandLine({"--simulate=", "probe"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->simulate, "");
}

TEST(Json, EscapesAndNests) {
    EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(JsonString("\xE9\x85\x8D"), "\"\xE9\x85\x8D\"");  // UTF-8 passes through
    JsonObject inner;
    inner.Add("n", 5).Add("t", true);
    JsonObject outer;
    outer.Add("ok", false).AddArray("items", {inner, JsonObject()}).AddObject("one", inner);
    EXPECT_EQ(outer.ToString(),
              "{\"ok\":false,\"items\":[{\"n\":5,\"t\":true},{}],\"one\":{\"n\":5,\"t\":true}}");
}

}  // namespace
}  // namespace quillora::cli
