#include "virtualmouse/ReportRecord.h"

namespace quillora::virtualmouse {

std::string FormatReportLine(std::string_view direction, std::string_view channel,
                             std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line;
    line.reserve(direction.size() + channel.size() + 8 + bytes.size() * 3);
    line.append(direction).append(" ").append(channel).append(" ");
    line.append(std::to_string(bytes.size()));
    for (const std::uint8_t b : bytes) {
        line.push_back(' ');
        line.push_back(kHex[b >> 4]);
        line.push_back(kHex[b & 0x0F]);
    }
    return line;
}

ReportRecord::~ReportRecord() {
    if (file_ != nullptr)
        std::fclose(file_);
}

bool ReportRecord::Open(const std::string& path) {
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = std::fopen(path.c_str(), "we");
    return file_ != nullptr;
}

void ReportRecord::Report(std::string_view direction, std::string_view channel,
                          std::span<const std::uint8_t> bytes) {
    if (file_ != nullptr)
        WriteLine(FormatReportLine(direction, channel, bytes));
}

void ReportRecord::Event(std::string_view channel, std::string_view what) {
    if (file_ != nullptr)
        WriteLine(std::string("event ").append(channel).append(" ").append(what));
}

void ReportRecord::Control(std::string_view what) {
    if (file_ != nullptr)
        WriteLine(std::string("control ").append(what));
}

void ReportRecord::WriteLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace quillora::virtualmouse
