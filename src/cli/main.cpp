// quillora-cli: the scriptable front end over the same engine the desktop program uses.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/Commands.h"

using namespace quillora::cli;

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParseResult parsed = ParseCommandLine(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "quillora-cli: %s\n\n%s", parsed.error.c_str(),
                     OverviewHelp().c_str());
        return kExitUsage;
    }
    const CliOptions& options = *parsed.options;
    const Command* command = options.command.empty() ? nullptr : FindCommand(options.command);
    if (!options.command.empty() && command == nullptr) {
        std::fprintf(stderr, "quillora-cli: unknown command '%s'\n\n%s", options.command.c_str(),
                     OverviewHelp().c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(command != nullptr ? CommandHelp(*command).c_str() : OverviewHelp().c_str(),
                   stdout);
        return kExitDone;
    }
    std::string error;
    auto context = MakeCliContext(options, error);
    if (!context) {
        std::fprintf(stderr, "quillora-cli: %s\n", error.c_str());
        return kExitUsage;
    }
    return command->run(*context);
}
