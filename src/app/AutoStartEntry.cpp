#include "app/AutoStartEntry.h"

#include <unistd.h>
#include <cstdlib>

#include "app/AtomicFile.h"
#include "app/Folders.h"
#include "app/Utf8.h"

namespace quillora {
namespace {

// Escapes of the file format's string values: backslash, and the control characters
// a value may not carry literally.
std::string EscapeValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Quotes one Exec argument: inside double quotes, '"', '`', '$' and '\' take a
// backslash, and '%' is doubled because a single one starts a field code.
std::string QuoteArgument(std::string_view argument) {
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '%') {
            out += "%%";
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string SafeFileName(std::u16string_view productKeyName) {
    std::string name = ToUtf8(productKeyName);
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    if (name.empty() || name == "." || name == "..") {
        name = "_" + name;
    }
    return name;
}

std::optional<std::string> UnescapeValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        switch (value[i]) {
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 's':
                out += ' ';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

}  // namespace

AutoStartEntry::AutoStartEntry(std::string autostartFolder, std::u16string_view productKeyName)
    : folder_(WithTrailingSlash(std::move(autostartFolder))),
      name_(ToUtf8(productKeyName)),
      path_(folder_ + SafeFileName(productKeyName) + ".desktop") {}

std::string AutoStartEntry::DefaultFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/autostart/";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/autostart/";
}

std::string AutoStartEntry::ExecValue(const std::string& executablePath) {
    return EscapeValue(QuoteArgument(executablePath) + " -autorun");
}

std::optional<std::vector<std::string>> AutoStartEntry::SplitExecValue(std::string_view value) {
    const std::optional<std::string> line = UnescapeValue(value);
    if (!line)
        return std::nullopt;
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    for (size_t i = 0; i < line->size(); ++i) {
        const char c = (*line)[i];
        if (c == '"') {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= line->size())
                    return std::nullopt;  // unclosed quote
                const char q = (*line)[i];
                if (q == '"')
                    break;
                if (q == '\\') {
                    if (++i >= line->size())
                        return std::nullopt;
                    current += (*line)[i];
                } else if (q == '%') {
                    if (i + 1 >= line->size() || (*line)[i + 1] != '%')
                        return std::nullopt;
                    current += '%';
                    ++i;
                } else {
                    current += q;
                }
            }
        } else if (c == ' ') {
            if (inArgument)
                args.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.push_back(current);
    return args;
}

bool AutoStartEntry::Enable(const std::string& executablePath) {
    if (!CreateFolder(folder_)) {
        return false;
    }
    std::string content = "[Desktop Entry]\n";
    content += "Type=Application\n";
    content += "Name=" + EscapeValue(name_) + "\n";
    content += "Exec=" + ExecValue(executablePath) + "\n";
    content += "Terminal=false\n";
    content += "X-GNOME-Autostart-enabled=true\n";
    return WriteFileAtomically(path_, content);
}

bool AutoStartEntry::Disable() {
    return ::unlink(path_.c_str()) == 0 || !IsEnabled();
}

bool AutoStartEntry::IsEnabled() const {
    return ::access(path_.c_str(), R_OK) == 0;
}

std::optional<std::string> AutoStartEntry::ReadExecValue() const {
    std::string content;
    if (!ReadRegularFile(path_, content))
        return std::nullopt;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find('\n', pos);
        if (end == std::string::npos)
            end = content.size();
        const std::string_view line(content.data() + pos, end - pos);
        if (line.substr(0, 5) == "Exec=")
            return std::string(line.substr(5));
        pos = end + 1;
    }
    return std::nullopt;
}

}  // namespace quillora
