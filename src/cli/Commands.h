#pragma once

// The commands quillora-cli knows, with their usage and help texts.

#include <string>
#include <vector>

#include "cli/CliContext.h"

namespace quillora::cli {

struct Command {
    const char* name;
    const char* usage;    // after "quillora-cli [OPTIONS] "
    const char* summary;  // one line for the overview
    const char* help;     // the text of COMMAND --help
    int (*run)(CliContext& context);
};

const std::vector<Command>& AllCommands();
const Command* FindCommand(const std::string& name);

// The overview printed by --help, and by bad usage (on stderr).
std::string OverviewHelp();
std::string CommandHelp(const Command& command);

}  // namespace quillora::cli
