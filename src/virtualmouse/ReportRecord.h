#pragma once

// The virtual mouse's own record of what crossed the kernel boundary, one line each,
// flushed as written so a reader sees every line even if the program dies:
//   out <channel> <length> <bytes>   an output report the host wrote, as the kernel
//                                    delivered it: report ID first, nothing padded here
//   in <channel> <length> <bytes>    an input report the mouse sent
//   event <channel> <what>           start, stop, open, close of the kernel device
//   control <what>                   a control command (on, off, dpi), or why it was ignored
// <channel> is config, pointer or upgrade; <length> is decimal; bytes are upper-case
// hex pairs separated by blanks.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace quillora::virtualmouse {

// The line for one report, without the newline.
std::string FormatReportLine(std::string_view direction, std::string_view channel,
                             std::span<const std::uint8_t> bytes);

class ReportRecord {
  public:
    ReportRecord() = default;
    ~ReportRecord();
    ReportRecord(const ReportRecord&) = delete;
    ReportRecord& operator=(const ReportRecord&) = delete;

    // Starts a new record in `path` (an existing file is replaced). False when it cannot
    // be created. Without Open() every write is dropped.
    bool Open(const std::string& path);

    void Report(std::string_view direction, std::string_view channel,
                std::span<const std::uint8_t> bytes);
    void Event(std::string_view channel, std::string_view what);
    void Control(std::string_view what);

  private:
    void WriteLine(const std::string& line);

    std::FILE* file_ = nullptr;
};

}  // namespace quillora::virtualmouse
