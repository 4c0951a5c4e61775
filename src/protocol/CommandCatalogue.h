#pragma once

// Every command the mouse understands: code, kind, frame size and the length byte a
// write carries. Header-only so the simulated mouse can answer the same catalogue
// without linking the encoders.

#include <array>
#include <cstdint>

#include "device/DeviceInfo.h"
#include "device/ReportFrame.h"

namespace quillora::cmd {

enum Code : std::uint8_t {
    kSetReportRate = 0x02,
    kSetDpiLevels = 0x03,
    kSetDpiColors = 0x04,
    kSetLighting = 0x05,
    kSetSensorOptions = 0x06,
    kSetPowerOptions = 0x07,
    kSetMacroData = 0x08,
    kSetButtonTable = 0x09,
    kResetLighting = 0x0E,
    kRestoreDefaults = 0x0F,
    kGetDeviceInfo = 0x10,
    kPreReadQuery = 0x11,
    kGetReportRate = 0x12,
    kGetDpiLevels = 0x13,
    kGetDpiColors = 0x14,
    kGetLighting = 0x15,
    kGetSensorOptions = 0x16,
    kGetPowerOptions = 0x17,
    kGetFirmwareVersion = 0x20,
};
static_assert(kGetDeviceInfo == kGetDeviceInfoCommand);

// Queries 0x12 to 0x17 read back what writes 0x02 to 0x07 set.
inline constexpr std::uint8_t kQueryOfWrite = 0x10;

enum class Kind { Write, ChunkedWrite, Query };

struct CommandInfo {
    std::uint8_t code;
    const char* name;
    Kind kind;
    FrameSize size;
    // Byte 4 of the request; a write whose length depends on its data (lighting by mode,
    // macro chunks) lists kVariableLength.
    int length;
};

inline constexpr int kVariableLength = -1;

inline constexpr std::array<CommandInfo, 19> kCatalogue = {{
    {kSetReportRate, "SetReportRate", Kind::Write, FrameSize::Long, 0x01},
    {kSetDpiLevels, "SetDpiLevels", Kind::Write, FrameSize::Short, 0x25},
    {kSetDpiColors, "SetDpiColors", Kind::Write, FrameSize::Long, 0x12},
    {kSetLighting, "SetLighting", Kind::Write, FrameSize::Long, kVariableLength},
    {kSetSensorOptions, "SetSensorOptions", Kind::Write, FrameSize::Long, 0x05},
    {kSetPowerOptions, "SetPowerOptions", Kind::Write, FrameSize::Long, 0x04},
    {kSetMacroData, "SetMacroData", Kind::ChunkedWrite, FrameSize::Short, kVariableLength},
    {kSetButtonTable, "SetButtonTable", Kind::Write, FrameSize::Short, 0x0F},
    {kResetLighting, "ResetLighting", Kind::Write, FrameSize::Short, 0x01},
    {kRestoreDefaults, "RestoreDefaults", Kind::Write, FrameSize::Short, 0x01},
    {kGetDeviceInfo, "GetDeviceInfo", Kind::Query, FrameSize::Short, 0},
    {kPreReadQuery, "PreReadQuery", Kind::Query, FrameSize::Short, 0},
    {kGetReportRate, "GetReportRate", Kind::Query, FrameSize::Short, 0},
    {kGetDpiLevels, "GetDpiLevels", Kind::Query, FrameSize::Short, 0},
    {kGetDpiColors, "GetDpiColors", Kind::Query, FrameSize::Short, 0},
    {kGetLighting, "GetLighting", Kind::Query, FrameSize::Short, 0},
    {kGetSensorOptions, "GetSensorOptions", Kind::Query, FrameSize::Short, 0},
    {kGetPowerOptions, "GetPowerOptions", Kind::Query, FrameSize::Short, 0},
    {kGetFirmwareVersion, "GetFirmwareVersion", Kind::Query, FrameSize::Short, 0},
}};

// Nullptr for a code that is not in the catalogue.
constexpr const CommandInfo* Find(std::uint8_t code) {
    for (const CommandInfo& info : kCatalogue) {
        if (info.code == code) {
            return &info;
        }
    }
    return nullptr;
}

// A query frame carries only the command byte; packet, length and checksum stay zero.
inline ReportFrame MakeQuery(std::uint8_t code) {
    ReportFrame frame;
    frame[request::kCommand] = code;
    StoreChecksum(frame);
    return frame;
}

// A single-packet write with its header set; the caller fills the payload and
// SendCommand stores the checksum (builders here store it too, so frames compare
// exactly as they go out).
inline ReportFrame MakeWrite(std::uint8_t code, std::uint8_t length) {
    ReportFrame frame;
    frame[request::kCommand] = code;
    frame[request::kPacket] = kSinglePacket;
    frame[request::kLength] = length;
    return frame;
}

}  // namespace quillora::cmd
