#include "cli/Commands.h"

#include "cli/ProbeCommand.h"
#include "cli/StoreCommands.h"

namespace quillora::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"probe", "probe", "list every HID interface that could be a supported mouse",
         "Lists every HID interface with a configuration collection, catalogued or not:\n"
         "its vendor and product id, path, usage page and usage, product string and, when\n"
         "it answers, its device information (model code, sensor, rate capability,\n"
         "battery). Use it to find the identity of a mouse to add to config.xml.\n"
         "Exits 0 whatever it finds.",
         &RunProbe},
        {"devices", "devices", "the catalogued models and the interfaces found",
         "Runs discovery and the full read, then lists every catalogued model with its\n"
         "device type, name, device_attr, link (cable, receiver or none), online state and\n"
         "version, marks the selected one, and lists the open interfaces.\n"
         "Exits 0 whatever it finds.",
         &RunDevices},
        {"settings", "settings", "every setting of the current profile",
         "Prints every stored setting of the current profile as key=value (values as\n"
         "stored). Works without a device: the selected model's database is used.",
         &RunSettings},
        {"get", "get SETTING", "one setting of the current profile",
         "Prints the stored value of one setting of the current profile, for example\n"
         "'get dpi_group0_value'. Exit 2 for a name that is not a setting.",
         &RunGet},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : AllCommands()) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

std::string OverviewHelp() {
    std::string text =
        "usage: quillora-cli [--app-dir DIR] [--data-dir DIR] [--config-dir DIR]\n"
        "                    [--model DEVICE_ATTR] [--simulate DEVICES] [--wire-log FILE]\n"
        "                    [--json] COMMAND [ARGS]\n"
        "\n"
        "Configures a Quillora mouse from the command line.\n"
        "\n"
        "options:\n"
        "  --app-dir DIR       the application folder (config.xml, device/, language/)\n"
        "  --data-dir DIR      the data folder (profile databases, downloads)\n"
        "  --config-dir DIR    the folder of the program's own settings\n"
        "  --model ATTR        work with the catalogued model of that device_attr\n"
        "  --simulate DEVICES  a simulated mouse instead of real HID: cable, receiver or\n"
        "                      cable+receiver, then optionally :key=value,... with model,\n"
        "                      sensor, rate_cap, battery, firmware, mouse=off, nak, delay_ms\n"
        "  --wire-log FILE     append every HID report in and out to FILE\n"
        "  --json              one JSON object per command on stdout\n"
        "\n"
        "commands:\n";
    for (const Command& command : AllCommands()) {
        std::string line = std::string("  ") + command.usage;
        if (line.size() < 22)
            line.resize(22, ' ');
        text += line + " " + command.summary + "\n";
    }
    text += "\n'quillora-cli COMMAND --help' describes one command.\n";
    text += "Exit codes: 0 done, 1 refused, 2 bad usage, 3 device exchange failed or no device.\n";
    return text;
}

std::string CommandHelp(const Command& command) {
    return std::string("usage: quillora-cli [OPTIONS] ") + command.usage + "\n\n" + command.help +
           "\n";
}

}  // namespace quillora::cli
