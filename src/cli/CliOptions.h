#pragma once

// The command line of quillora-cli:
//   quillora-cli [--app-dir DIR] [--data-dir DIR] [--config-dir DIR] [--model DEVICE_ATTR]
//                [--simulate DEVICES] [--wire-log FILE] [--json] COMMAND [ARGS]
// Global options come before the command; everything after it belongs to the command.

#include <optional>
#include <string>
#include <vector>

namespace quillora::cli {

struct CliOptions {
    std::string appDir;
    std::string dataDir;
    std::string configDir;
    std::string model;                    // a catalogued device_attr to select
    std::optional<std::string> simulate;  // the simulated setup, when given
    std::string wireLog;
    bool json = false;
    std::string command;  // "" with --help alone
    std::vector<std::string> args;
    bool help = false;  // --help before the command, or COMMAND --help
};

struct ParseResult {
    std::optional<CliOptions> options;
    std::string error;  // bad usage: what was wrong
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

// Exit codes of every command.
enum ExitCode : int {
    kExitDone = 0,
    kExitRefused = 1,       // a page rule refused the action
    kExitUsage = 2,         // bad usage
    kExitDeviceFailed = 3,  // an exchange the action caused failed, or no device for it
};

}  // namespace quillora::cli
