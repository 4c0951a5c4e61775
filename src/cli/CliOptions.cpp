#include "cli/CliOptions.h"

namespace quillora::cli {
namespace {

// Options that take a value, and where the value goes.
std::string* ValueTarget(CliOptions& options, const std::string& name) {
    if (name == "--app-dir")
        return &options.appDir;
    if (name == "--data-dir")
        return &options.dataDir;
    if (name == "--config-dir")
        return &options.configDir;
    if (name == "--model")
        return &options.model;
    if (name == "--wire-log")
        return &options.wireLog;
    return nullptr;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    ParseResult result;
    CliOptions options;
    size_t i = 0;
    for (; i < arguments.size(); ++i) {
        std::string arg = arguments[i];
        if (arg.empty() || arg[0] != '-') {
            break;  // the command
        }
        std::string value;
        bool hasInlineValue = false;
        if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        if (arg == "--json" && !hasInlineValue) {
            options.json = true;
            continue;
        }
        if ((arg == "--help" || arg == "-h") && !hasInlineValue) {
            options.help = true;
            continue;
        }
        std::string* target = ValueTarget(options, arg);
        const bool simulate = arg == "--simulate";
        if (target == nullptr && !simulate) {
            result.error = "unknown option " + arg;
            return result;
        }
        if (!hasInlineValue) {
            if (i + 1 >= arguments.size()) {
                result.error = arg + " needs a value";
                return result;
            }
            value = arguments[++i];
        }
        if (value.empty() && !simulate) {
            result.error = arg + " needs a value";
            return result;
        }
        if (simulate) {
            options.simulate = value;
        } else {
            *target = value;
        }
    }
    if (i < arguments.size()) {
        options.command = arguments[i++];
        for (; i < arguments.size(); ++i) {
            if (arguments[i] == "--help" || arguments[i] == "-h") {
                options.help = true;
            } else {
                options.args.push_back(arguments[i]);
            }
        }
    } else if (!options.help) {
        result.error = "no command given";
        return result;
    }
    result.options = std::move(options);
    return result;
}

}  // namespace quillora::cli
