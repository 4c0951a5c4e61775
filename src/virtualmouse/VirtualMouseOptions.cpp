#include "virtualmouse/VirtualMouseOptions.h"

#include <charconv>

namespace quillora::virtualmouse {
namespace {

std::optional<std::uint16_t> ParseHex16(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

ParsedOptions ParseVirtualMouseOptions(std::span<const std::string_view> args) {
    VirtualMouseOptions o;
    bool kindSeen = false;
    bool pidSeen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return {o, {}};
        }
        if (arg == "--mouse-off") {
            o.mouseOn = false;
            continue;
        }
        if (arg == "cable" || arg == "receiver") {
            if (kindSeen)
                return {std::nullopt, "the device kind is given twice"};
            kindSeen = true;
            o.kind = arg == "cable" ? DeviceKind::Cable : DeviceKind::Receiver;
            continue;
        }
        if (!arg.starts_with("--"))
            return {std::nullopt, "unknown argument '" + std::string(arg) + "'"};
        if (i + 1 >= args.size())
            return {std::nullopt, std::string(arg) + " needs a value"};
        const std::string_view value = args[++i];
        if (arg == "--vid" || arg == "--pid" || arg == "--release") {
            const auto number = ParseHex16(value);
            if (!number)
                return {std::nullopt, std::string(arg) + " takes a 16-bit hexadecimal number"};
            if (arg == "--vid") {
                o.vendorId = *number;
            } else if (arg == "--pid") {
                o.productId = *number;
                pidSeen = true;
            } else {
                o.release = *number;
            }
        } else if (arg == "--record") {
            o.recordPath = value;
        } else if (arg == "--control") {
            o.controlPath = value;
        } else if (arg == "--ready") {
            o.readyPath = value;
        } else if (arg == "--state") {
            o.statePath = value;
        } else if (arg == "--uhid") {
            o.uhidPath = value;
        } else {
            return {std::nullopt, "unknown option '" + std::string(arg) + "'"};
        }
    }
    if (!kindSeen)
        return {std::nullopt, "say which device to serve: cable or receiver"};
    if (!pidSeen)
        o.productId = o.kind == DeviceKind::Cable ? 0x0001 : 0x0002;
    return {o, {}};
}

const char* VirtualMouseUsage() {
    return "usage: quillora-virtual-mouse cable|receiver [options]\n"
           "Serves a virtual mouse through /dev/uhid until SIGTERM or SIGINT: its\n"
           "configuration, pointer and upgrade collections appear as hidraw devices.\n"
           "  --vid HEX        vendor id (default 1209)\n"
           "  --pid HEX        product id (default 0001 cable, 0002 receiver)\n"
           "  --release HEX    device release number (default 0100)\n"
           "  --record FILE    write every report in and out to FILE\n"
           "  --control FIFO   read commands from FIFO (made if missing), one a line:\n"
           "                   on, off (the receiver's mouse), dpi (DPI button), quit\n"
           "  --ready PATH     once the hidraw nodes exist, write 'ready' and their\n"
           "                   paths as one line to PATH (a file, or a FIFO a script reads)\n"
           "  --state FILE     where the mouse keeps its settings between runs\n"
           "  --uhid PATH      the uhid node (default /dev/uhid)\n"
           "  --mouse-off      the receiver starts with its mouse switched off\n"
           "Signals: SIGUSR1 switches the receiver's mouse on, SIGUSR2 off.\n";
}

std::optional<ControlCommand> ParseControlCommand(std::string_view line) {
    line = Trim(line);
    if (line == "on")
        return ControlCommand::MouseOn;
    if (line == "off")
        return ControlCommand::MouseOff;
    if (line == "dpi")
        return ControlCommand::DpiButton;
    if (line == "quit")
        return ControlCommand::Quit;
    return std::nullopt;
}

}  // namespace quillora::virtualmouse
