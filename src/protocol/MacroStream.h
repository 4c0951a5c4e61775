#pragma once

// A macro as the mouse stores it: the key code of the button it is bound to, then four
// bytes per input event (code, delay after the event in ms little-endian, value), cut
// into SetMacroData (0x08) frames of at most 27 stream bytes.

#include <cstdint>
#include <span>
#include <vector>

#include "device/ReportFrame.h"

namespace quillora {

// The macro event record types (the store's MacroEventRecord.type).
enum MacroEventType : int {
    kMacroDelay = 1,
    kMacroKeyDown = 2,
    kMacroKeyUp = 3,
    kMacroButtonDown = 4,
    kMacroButtonUp = 5,
    kMacroWheelUp = 6,
    kMacroWheelDown = 7,
};

// One stored event in record_index order: a virtual-key code for key events, a button
// value for mouse button events, milliseconds for delays.
struct MacroEventInput {
    int type = 0;
    int value = 0;
};

struct MacroStream {
    std::vector<std::uint8_t> bytes;  // key code first
    int events = 0;
};

inline constexpr int kMacroEventBytes = 4;
inline constexpr int kMacroChunkBytes = 27;
// The packet byte's low nibble counts the frames.
inline constexpr int kMaxMacroFrames = 15;
inline constexpr int kMaxDelayMs = 0xFFFF;

// Delays accumulate onto the input event before them (delays ahead of the first event
// go to the first event); an event with no delay after it waits 1 ms. A sum past 65535
// ms is written as 65535. Wheel and unknown records add no event but still close the
// running delay.
MacroStream BuildMacroStream(int key_code, std::span<const MacroEventInput> records);

enum class MacroFramingStatus { Ok, TooLong };

struct MacroFrames {
    MacroFramingStatus status = MacroFramingStatus::Ok;
    // Empty when refused: a stream that needs more frames than the packet byte can count
    // is not sent at all, rather than sent with a wrapped frame count.
    std::vector<ReportFrame> frames;
    int frames_needed = 0;
};

// The frames of a stream, checksums stored; each is sent as 33 bytes.
MacroFrames EncodeMacroFrames(const MacroStream& stream);

}  // namespace quillora
