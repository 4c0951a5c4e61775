#include "ui/CommandLine.h"

#include <charconv>
#include <string_view>

namespace quillora::ui {
namespace {

std::optional<int> ParseDecimal(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// "--name=value" gives value; "--name" alone gives nothing.
std::optional<std::string> InlineValue(std::string_view argument, std::string_view name) {
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
        argument[name.size()] == '=') {
        return std::string(argument.substr(name.size() + 1));
    }
    return std::nullopt;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine result;
    StartupOptions& options = result.options;
    std::string rest;  // the arguments that are not ours, as one command-line text

    const struct {
        std::string_view name;
        std::string FolderOverrides::*field;
    } folderOptions[] = {
        {"--app-dir", &FolderOverrides::applicationFolder},
        {"--data-dir", &FolderOverrides::dataFolder},
        {"--config-dir", &FolderOverrides::configFolder},
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool consumed = false;
        for (const auto& folder : folderOptions) {
            if (argument == folder.name) {
                if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                    result.error = std::string(folder.name) + " needs a folder";
                    return result;
                }
                options.folders.*folder.field = arguments[++i];
                consumed = true;
            } else if (auto value = InlineValue(argument, folder.name)) {
                if (value->empty()) {
                    result.error = std::string(folder.name) + " needs a folder";
                    return result;
                }
                options.folders.*folder.field = *value;
                consumed = true;
            }
        }
        if (consumed) {
            continue;
        }
        if (argument == "--simulate") {
            // The DEVICES text is optional; an argument that starts with '-' is the next option.
            if (i + 1 < arguments.size() && !arguments[i + 1].empty() &&
                arguments[i + 1][0] != '-') {
                options.simulate = arguments[++i];
            } else {
                options.simulate = std::string();
            }
        } else if (auto devices = InlineValue(argument, "--simulate")) {
            options.simulate = *devices;
        } else if (argument == "--send") {
            std::optional<int> message;
            std::optional<int> param;
            if (i + 2 < arguments.size()) {
                message = ParseDecimal(arguments[i + 1]);
                param = ParseDecimal(arguments[i + 2]);
            }
            if (!message || !param) {
                result.error = "--send needs a message and a parameter, both decimal";
                return result;
            }
            options.send = SendRequest{*message, *param};
            i += 2;
        } else {
            rest += ' ';
            rest += argument;
        }
    }

    options.hide = rest.find("-hide") != std::string::npos;
    options.autorun = rest.find(" -autorun") != std::string::npos;
    return result;
}

bool StartsHidden(const StartupOptions& options, int autorunMinimize) {
    return options.hide || (options.autorun && autorunMinimize == 1);
}

const char* CommandLineUsage() {
    return "usage: quillora [-hide] [--simulate [DEVICES]] [--app-dir DIR] [--data-dir DIR]\n"
           "                [--config-dir DIR]\n"
           "       quillora --send MESSAGE PARAM\n"
           "  -hide                 start with the window hidden in the tray\n"
           "  --simulate [DEVICES]  use the simulated mouse (cable, receiver, cable+receiver)\n"
           "  --app-dir DIR         application folder (config.xml, device/, language/, skins/)\n"
           "  --data-dir DIR        application data folder (db/, temp/)\n"
           "  --config-dir DIR      folder of the stored settings\n"
           "  --send MSG PARAM      deliver a message to the running instance\n"
           "                        (1691 610 ends it, 2022 0 sets all texts again)\n";
}

}  // namespace quillora::ui
