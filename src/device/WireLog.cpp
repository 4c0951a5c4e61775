#include "device/WireLog.h"

namespace quillora {

std::string FormatWireLine(WireDirection direction, int interface_index,
                           std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line(direction == WireDirection::Write ? "W " : "R ");
    line += interface_index == kUpgradeInterfaceIndex ? std::string("U")
                                                      : std::to_string(interface_index);
    for (std::uint8_t b : bytes) {
        line.push_back(' ');
        line.push_back(kHex[b >> 4]);
        line.push_back(kHex[b & 0x0F]);
    }
    return line;
}

FileWireLog::FileWireLog(const std::string& path) : file_(std::fopen(path.c_str(), "a")) {}

FileWireLog::~FileWireLog() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void FileWireLog::Record(WireDirection direction, int interface_index,
                         std::span<const std::uint8_t> bytes) {
    if (file_ == nullptr) {
        return;
    }
    std::string line = FormatWireLine(direction, interface_index, bytes);
    line.push_back('\n');
    std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace quillora
