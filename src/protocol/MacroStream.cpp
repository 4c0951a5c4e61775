#include "protocol/MacroStream.h"

#include <algorithm>

#include "protocol/CommandCatalogue.h"
#include "protocol/KeyMaps.h"

namespace quillora {
namespace {

bool IsModifierDownKey(int vk) {
    return (vk >= 0xA0 && vk <= 0xA7) || vk == 0x5B || vk == 0x5C;
}

// The Windows keys go down as modifier events, so they must come up as modifier events
// too; a plain key-up would leave the modifier held on the mouse.
bool IsModifierUpKey(int vk) {
    return IsModifierDownKey(vk);
}

void StoreDelay(std::vector<std::uint8_t>& bytes, std::size_t event_offset, long long delay) {
    if (delay <= 0) {
        delay = 1;
    }
    delay = std::min<long long>(delay, kMaxDelayMs);
    bytes[event_offset + 1] = static_cast<std::uint8_t>(delay & 0xFF);
    bytes[event_offset + 2] = static_cast<std::uint8_t>((delay >> 8) & 0xFF);
}

}  // namespace

MacroStream BuildMacroStream(int key_code, std::span<const MacroEventInput> records) {
    MacroStream stream;
    stream.bytes.push_back(static_cast<std::uint8_t>(key_code & 0xFF));
    long long delay_sum = 0;
    bool written = false;
    std::size_t last_event = 0;

    for (std::size_t r = 0; r < records.size(); ++r) {
        const MacroEventInput& record = records[r];
        if (record.type == kMacroDelay) {
            delay_sum += record.value;
            if (r + 1 == records.size() && written) {
                StoreDelay(stream.bytes, last_event, delay_sum);
                delay_sum = 0;
            }
            continue;
        }
        if (written) {
            StoreDelay(stream.bytes, last_event, delay_sum);
            delay_sum = 0;
        }
        int code = 0;
        int value = 0;
        switch (record.type) {
            case kMacroKeyDown:
                if (IsModifierDownKey(record.value)) {
                    code = 0x20;
                    value = MapModifier(record.value);
                } else {
                    code = 0x30;
                    value = MapVirtualKey(record.value);
                }
                break;
            case kMacroKeyUp:
                if (IsModifierUpKey(record.value)) {
                    code = 0xA0;
                    value = MapModifier(record.value);
                } else {
                    code = 0xB0;
                    value = MapVirtualKey(record.value);
                }
                break;
            case kMacroButtonDown:
                code = 0x10;
                value = record.value;
                break;
            case kMacroButtonUp:
                code = 0x90;
                value = record.value;
                break;
            default:
                continue;
        }
        last_event = stream.bytes.size();
        stream.bytes.push_back(static_cast<std::uint8_t>(code));
        stream.bytes.push_back(1);
        stream.bytes.push_back(0);
        stream.bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        written = true;
        ++stream.events;
    }
    return stream;
}

MacroFrames EncodeMacroFrames(const MacroStream& stream) {
    MacroFrames result;
    const int length = static_cast<int>(stream.bytes.size());

    auto frame_for = [&](int packet, int offset, int count) {
        ReportFrame frame = cmd::MakeWrite(cmd::kSetMacroData, static_cast<std::uint8_t>(count));
        frame[request::kPacket] = static_cast<std::uint8_t>(packet);
        std::copy_n(stream.bytes.begin() + offset, count, frame.bytes.begin() + request::kPayload);
        StoreChecksum(frame);
        return frame;
    };

    if (stream.events <= 6 && length <= kMacroChunkBytes) {
        result.frames_needed = 1;
        result.frames.push_back(frame_for(kSinglePacket, 0, length));
        return result;
    }
    const int full = length / kMacroChunkBytes;
    const int count = length % kMacroChunkBytes == 0 ? full : full + 1;
    result.frames_needed = count;
    if (count > kMaxMacroFrames) {
        result.status = MacroFramingStatus::TooLong;
        return result;
    }
    for (int i = 0; i < count; ++i) {
        const int offset = i * kMacroChunkBytes;
        const int chunk = std::min(kMacroChunkBytes, length - offset);
        result.frames.push_back(frame_for(i * 16 + count, offset, chunk));
    }
    return result;
}

}  // namespace quillora
