#include "sim/SimMouse.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "device/ReportFrame.h"
#include "protocol/CommandCatalogue.h"

namespace quillora::sim {
namespace {

// A field of the settings file: its name and a view of its bytes.
struct Field {
    const char* name;
    std::function<std::vector<std::uint8_t>(const MouseSettings&)> get;
    std::function<bool(MouseSettings&, const std::vector<std::uint8_t>&)> set;
};

template <std::size_t N>
Field ArrayField(const char* name, std::array<std::uint8_t, N> MouseSettings::*member) {
    return {name,
            [member](const MouseSettings& s) {
                return std::vector<std::uint8_t>((s.*member).begin(), (s.*member).end());
            },
            [member](MouseSettings& s, const std::vector<std::uint8_t>& v) {
                if (v.size() != N) {
                    return false;
                }
                std::copy(v.begin(), v.end(), (s.*member).begin());
                return true;
            }};
}

Field ByteField(const char* name, std::uint8_t MouseSettings::*member) {
    return {name, [member](const MouseSettings& s) { return std::vector<std::uint8_t>{s.*member}; },
            [member](MouseSettings& s, const std::vector<std::uint8_t>& v) {
                if (v.size() != 1) {
                    return false;
                }
                s.*member = v[0];
                return true;
            }};
}

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        ArrayField("model_code", &MouseSettings::model_code),
        {"info_word",
         [](const MouseSettings& s) {
             return std::vector<std::uint8_t>{static_cast<std::uint8_t>(s.info_word & 0xFF),
                                              static_cast<std::uint8_t>(s.info_word >> 8)};
         },
         [](MouseSettings& s, const std::vector<std::uint8_t>& v) {
             if (v.size() != 2) {
                 return false;
             }
             s.info_word = static_cast<std::uint16_t>(v[0] | (v[1] << 8));
             return true;
         }},
        ByteField("sensor", &MouseSettings::sensor),
        ByteField("rate_capability", &MouseSettings::rate_capability),
        ByteField("battery_a", &MouseSettings::battery_a),
        ByteField("battery_b", &MouseSettings::battery_b),
        ArrayField("firmware", &MouseSettings::firmware),
        ByteField("report_rate", &MouseSettings::report_rate),
        ByteField("dpi_selection", &MouseSettings::dpi_selection),
        ArrayField("dpi_levels", &MouseSettings::dpi_levels),
        ArrayField("dpi_colors", &MouseSettings::dpi_colors),
        ByteField("light_mode", &MouseSettings::light_mode),
        ByteField("light_parameter", &MouseSettings::light_parameter),
        ArrayField("light_data", &MouseSettings::light_data),
        ByteField("liftoff_height", &MouseSettings::liftoff_height),
        ArrayField("sensor_switches", &MouseSettings::sensor_switches),
        ArrayField("power", &MouseSettings::power),
        ArrayField("button_table", &MouseSettings::button_table),
        {"macro", [](const MouseSettings& s) { return s.macro; },
         [](MouseSettings& s, const std::vector<std::uint8_t>& v) {
             s.macro = v;
             return true;
         }},
    };
    return fields;
}

constexpr char kFileHeader[] = "quillora-sim-mouse 1";

}  // namespace

MouseSettings FactorySettings(const MouseSettings& identity) {
    MouseSettings s;
    s.model_code = identity.model_code;
    s.info_word = identity.info_word;
    s.sensor = identity.sensor;
    s.rate_capability = identity.rate_capability;
    s.battery_a = identity.battery_a;
    s.battery_b = identity.battery_b;
    s.firmware = identity.firmware;
    // Levels 400, 800, 1600, 3200, 6400, 12000 in sensor 25's codes, each code twice.
    const std::uint8_t codes[6] = {4, 8, 16, 32, 64, 120};
    for (int i = 0; i < 6; ++i) {
        s.dpi_levels[4 * i] = codes[i];
        s.dpi_levels[4 * i + 2] = codes[i];
    }
    // Red, green, blue, yellow, cyan, magenta; red first on the wire.
    const std::uint8_t colors[18] = {0xFF, 0,    0, 0, 0xFF, 0,    0,    0, 0xFF,
                                     0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF};
    std::copy(std::begin(colors), std::end(colors), s.dpi_colors.begin());
    // The factory button table is the mouse's default slots for keys 0 to 5.
    const std::uint8_t buttons[18] = {0x10, 0x01, 0, 0x10, 0x02, 0, 0x10, 0x04, 0,
                                      0x10, 0x08, 0, 0x10, 0x10, 0, 0x40, 0x01, 0};
    std::copy(std::begin(buttons), std::end(buttons), s.button_table.begin());
    return s;
}

std::string SerializeSettings(const MouseSettings& settings) {
    std::string text = std::string(kFileHeader) + "\n";
    char hex[4];
    for (const Field& f : Fields()) {
        text += f.name;
        text += '=';
        std::vector<std::uint8_t> bytes = f.get(settings);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
            text += hex;
        }
        text += '\n';
    }
    return text;
}

std::optional<MouseSettings> ParseSettings(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kFileHeader) {
        return std::nullopt;
    }
    MouseSettings settings;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(0, eq);
        std::vector<std::uint8_t> bytes;
        std::istringstream values(line.substr(eq + 1));
        std::string token;
        while (values >> token) {
            char* end = nullptr;
            unsigned long b = std::strtoul(token.c_str(), &end, 16);
            if (end == token.c_str() || *end != '\0' || b > 0xFF) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<std::uint8_t>(b));
        }
        for (const Field& f : Fields()) {
            if (name == f.name && !f.set(settings, bytes)) {
                return std::nullopt;
            }
        }
    }
    return settings;
}

SimMouse::SimMouse() : settings_(FactorySettings(MouseSettings{})) {}

SimMouse::SimMouse(const MouseSettings& settings) : settings_(settings) {}

InputReport SimMouse::AckLocked(std::span<const std::uint8_t> req, std::uint8_t status) const {
    InputReport reply(kInputReportSize, 0);
    auto at = [&](std::size_t i) -> std::uint8_t { return i < req.size() ? req[i] : 0; };
    reply[reply::kCommand] = at(request::kCommand);
    reply[reply::kStatus] = status;
    reply[reply::kPacket] = at(request::kPacket);
    reply[reply::kLength] = at(request::kLength);
    return reply;
}

InputReport SimMouse::DeviceInfoReplyLocked(bool connected) const {
    const MouseSettings& s = settings_;
    InputReport reply(kInputReportSize, 0);
    reply[reply::kCommand] = cmd::kGetDeviceInfo;
    std::copy(s.model_code.begin(), s.model_code.end(), reply.begin() + device_info::kModelCode);
    reply[device_info::kUnknownWord] = static_cast<std::uint8_t>(s.info_word & 0xFF);
    reply[device_info::kUnknownWord + 1] = static_cast<std::uint8_t>(s.info_word >> 8);
    reply[device_info::kSensor] = s.sensor;
    reply[device_info::kRateCapability] = s.rate_capability;
    reply[device_info::kBatteryA] = s.battery_a;
    reply[device_info::kBatteryB] = s.battery_b;
    reply[device_info::kConnected] = connected ? 1 : 0;
    return reply;
}

InputReport SimMouse::DeviceInfoReply(bool connected) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return DeviceInfoReplyLocked(connected);
}

std::optional<InputReport> SimMouse::Handle(std::span<const std::uint8_t> out) {
    std::lock_guard<std::mutex> lock(mutex_);
    ReportFrame req;
    std::copy_n(out.begin(), std::min(out.size(), ReportFrame::kSize), req.bytes.begin());
    const std::uint8_t code = req[request::kCommand];
    const cmd::CommandInfo* info = cmd::Find(code);
    if (info == nullptr) {
        return std::nullopt;
    }
    if (ComputeChecksum(req) != req[request::kChecksum]) {
        ++checksum_errors_;
        return AckLocked(req.bytes, 0x01);
    }
    MouseSettings& s = settings_;
    auto copy_in = [&](auto& field, std::size_t from) {
        std::copy_n(req.bytes.begin() + from, field.size(), field.begin());
    };
    InputReport reply = AckLocked(req.bytes, 0x00);
    auto copy_out = [&](const auto& field) {
        std::copy(field.begin(), field.end(), reply.begin() + reply::kPayload);
    };
    constexpr std::size_t p = request::kPayload;
    bool changed = true;
    switch (code) {
        case cmd::kSetReportRate:
            s.report_rate = req[p];
            break;
        case cmd::kSetDpiLevels:
            s.dpi_selection = req[p];
            copy_in(s.dpi_levels, p + 1);
            break;
        case cmd::kSetDpiColors:
            copy_in(s.dpi_colors, p);
            break;
        case cmd::kSetLighting:
            // An empty frame (length 0) selects nothing.
            if (req[request::kLength] != 0) {
                s.light_mode = req[p];
                s.light_parameter = req[p + 1];
                copy_in(s.light_data, p + 2);
            }
            break;
        case cmd::kSetSensorOptions:
            s.liftoff_height = req[p];
            copy_in(s.sensor_switches, p + 1);
            break;
        case cmd::kSetPowerOptions:
            copy_in(s.power, p);
            break;
        case cmd::kSetMacroData: {
            const int index = req[request::kPacket] >> 4;
            const int count = req[request::kPacket] & 0x0F;
            const int length = std::min<int>(req[request::kLength], request::kPayloadSize);
            if (index == 0) {
                macro_assembly_.clear();
            }
            macro_assembly_.insert(macro_assembly_.end(), req.bytes.begin() + p,
                                   req.bytes.begin() + p + length);
            if (index + 1 >= count) {
                s.macro = macro_assembly_;
            }
            break;
        }
        case cmd::kSetButtonTable:
            copy_in(s.button_table, p);
            break;
        case cmd::kResetLighting: {
            MouseSettings factory = FactorySettings(s);
            s.light_mode = factory.light_mode;
            s.light_parameter = factory.light_parameter;
            s.light_data = factory.light_data;
            break;
        }
        case cmd::kRestoreDefaults:
            if (req[p] == 0xFF) {
                s = FactorySettings(s);
            }
            break;
        case cmd::kGetDeviceInfo:
            return DeviceInfoReplyLocked(true);
        default:
            changed = false;
            break;
    }
    switch (code) {
        case cmd::kGetReportRate:
            reply[reply::kPayload] = s.report_rate;
            break;
        case cmd::kGetDpiLevels:
            reply[reply::kPayload] = s.dpi_selection;
            std::copy(s.dpi_levels.begin(), s.dpi_levels.end(),
                      reply.begin() + reply::kPayload + 1);
            break;
        case cmd::kGetDpiColors:
            copy_out(s.dpi_colors);
            break;
        case cmd::kGetLighting:
            reply[reply::kPayload] = s.light_mode;
            reply[reply::kPayload + 1] = s.light_parameter;
            break;
        case cmd::kGetSensorOptions:
            reply[reply::kPayload] = s.liftoff_height;
            reply[reply::kPayload + 1] = s.sensor_switches[0];
            reply[reply::kPayload + 2] = s.sensor_switches[1];
            break;
        case cmd::kGetPowerOptions:
            copy_out(s.power);
            break;
        case cmd::kGetFirmwareVersion:
            copy_out(s.firmware);
            break;
        default:
            break;
    }
    if (changed) {
        SaveLocked();
    }
    return reply;
}

InputReport SimMouse::DpiReport() const {
    std::lock_guard<std::mutex> lock(mutex_);
    InputReport report(kInputReportSize, 0);
    report[0] = kDpiReport;
    report[1] = settings_.dpi_selection;
    return report;
}

InputReport SimMouse::ConnectionReport(bool connected) const {
    std::lock_guard<std::mutex> lock(mutex_);
    InputReport report(kInputReportSize, 0);
    report[0] = kConnectionReport;
    report[1] = connected ? 1 : 0;
    if (connected) {
        report[2] = settings_.battery_a;
        report[3] = settings_.battery_b;
    }
    return report;
}

InputReport SimMouse::PressDpiButton() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        int count = settings_.dpi_selection & 0x0F;
        if (count < 1 || count > 6) {
            count = 1;
        }
        const int level = ((settings_.dpi_selection >> 4) + 1) % count;
        settings_.dpi_selection = static_cast<std::uint8_t>(level * 16 + count);
        SaveLocked();
    }
    return DpiReport();
}

MouseSettings SimMouse::Settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

void SimMouse::SetSettings(const MouseSettings& settings) {
    std::lock_guard<std::mutex> lock(mutex_);
    settings_ = settings;
    SaveLocked();
}

bool SimMouse::PersistIn(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    persist_path_ = path;
    if (path.empty()) {
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::stringstream text;
        text << in.rdbuf();
        if (auto loaded = ParseSettings(text.str())) {
            settings_ = *loaded;
            return true;
        }
    }
    SaveLocked();
    return false;
}

int SimMouse::ChecksumErrors() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return checksum_errors_;
}

void SimMouse::SaveLocked() {
    if (persist_path_.empty()) {
        return;
    }
    // Written beside and renamed over, so a process killed mid-write leaves the old file.
    const std::string temp = persist_path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << SerializeSettings(settings_);
        if (!out) {
            return;
        }
    }
    std::rename(temp.c_str(), persist_path_.c_str());
}

}  // namespace quillora::sim
