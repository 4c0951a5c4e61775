// Runs the built quillora-cli as a user would, on the simulated mouse.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"

namespace {

using quillora::testing::TempDir;

struct CliRun {
    int exitCode = -1;
    std::string out;
};

CliRun RunCli(const std::string& arguments) {
    const std::string command = std::string(QUILLORA_CLI) + " " + arguments + " 2>/dev/null";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliProgram : public ::testing::Test {
  protected:
    TempDir dir;
    std::string Folders() const {
        return "--app-dir " + std::string(QUILLORA_SOURCE_DIR) + "/data --data-dir " + dir.Path() +
               "data --config-dir " + dir.Path() + "config";
    }
};

TEST_F(CliProgram, ProbeListsConfigurationInterfacesAndSkipsDecoys) {
    const CliRun run = RunCli(Folders() + " --simulate cable+receiver --json probe");
    EXPECT_EQ(run.exitCode, 0);
    // The cable's vendor collection and the receiver's collection, nothing else: the
    // plain mouse collections and the upgrade interface are not configuration ones.
    EXPECT_NE(run.out.find("\"pid\":\"0001\",\"path\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"pid\":\"0002\",\"path\""), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\"usage\":\"0002\""), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\"usage_page\":\"FFEF\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"model_code\":\"QH01\""), std::string::npos) << run.out;
    EXPECT_EQ(run.out.rfind("{\"ok\":true,", 0), 0u) << run.out;
}

TEST_F(CliProgram, ProbeReportsWhatTheSetupSays) {
    const CliRun run =
        RunCli(Folders() + " --simulate receiver:mouse=off,sensor=53,battery=42 --json probe");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\"sensor\":53"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"battery\":42"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"online\":false"), std::string::npos) << run.out;
}

TEST_F(CliProgram, WireLogShowsTheQueryAsSent) {
    const std::string log = dir.Path() + "wire.log";
    const CliRun run = RunCli(Folders() + " --simulate cable --wire-log " + log + " probe");
    EXPECT_EQ(run.exitCode, 0);
    const std::string text = TempDir::ReadFile(log);
    // Report id 0, command 0x10, 33 bytes in all.
    ASSERT_GE(text.size(), 3u + 33 * 3 - 1);
    EXPECT_EQ(text.substr(0, 9), "W 0 00 10");
    EXPECT_EQ(text.find('\n'), 4u + 33 * 3 - 1) << text.substr(0, 120);
    EXPECT_NE(text.find("\nR 0 10 00"), std::string::npos);
}

TEST_F(CliProgram, BadUsageExitsTwo) {
    for (const char* arguments : {"", "bogus", "--frobnicate probe", "--simulate nothing probe"}) {
        EXPECT_EQ(RunCli(Folders() + " " + arguments).exitCode, 2) << arguments;
    }
    EXPECT_EQ(RunCli("--help").exitCode, 0);
    EXPECT_NE(RunCli("probe --help").out.find("usage: quillora-cli"), std::string::npos);
}

}  // namespace
