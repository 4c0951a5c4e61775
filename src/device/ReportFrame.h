#pragma once

// The one buffer layout every command and reply travels in.
//
// Byte 0 is the HID report ID (always 0 for this mouse), so a request's command code is
// at byte 1. hidapi strips the report ID from input reports, which shifts a reply by
// one: reply byte k holds what request byte k + 1 would. Request offsets and reply
// offsets below are therefore two separate sets of names.

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillora {

struct ReportFrame {
    static constexpr std::size_t kSize = 65;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t& operator[](std::size_t i) { return bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return bytes[i]; }
    std::uint8_t* data() { return bytes.data(); }
    const std::uint8_t* data() const { return bytes.data(); }
    void Clear() { bytes.fill(0); }

    friend bool operator==(const ReportFrame&, const ReportFrame&) = default;
};
static_assert(sizeof(ReportFrame) == 65, "a frame is the report ID plus 64 data bytes");

// How many bytes of a frame a command sends and reads back.
enum class FrameSize : std::size_t { Short = 33, Long = 65 };

constexpr std::size_t ToBytes(FrameSize size) {
    return static_cast<std::size_t>(size);
}

// Request offsets (into ReportFrame::bytes).
namespace request {
inline constexpr std::size_t kReportId = 0;
inline constexpr std::size_t kCommand = 1;
inline constexpr std::size_t kStatus = 2;
inline constexpr std::size_t kPacket = 3;
inline constexpr std::size_t kLength = 4;
inline constexpr std::size_t kPayload = 5;
inline constexpr std::size_t kPayloadSize = 27;
inline constexpr std::size_t kChecksum = 32;
}  // namespace request

// Reply offsets (into the bytes a read returned; the report ID is gone).
namespace reply {
inline constexpr std::size_t kCommand = 0;
inline constexpr std::size_t kStatus = 1;
inline constexpr std::size_t kPacket = 2;
inline constexpr std::size_t kLength = 3;
inline constexpr std::size_t kPayload = 4;
}  // namespace reply

// Packet byte of a single-packet write; queries carry 0.
inline constexpr std::uint8_t kSinglePacket = 0x01;

// The checksum covers the payload area only (bytes 5 to 31), whatever the frame size,
// so data a 65-byte command carries past byte 32 never contributes.
constexpr std::uint8_t ComputeChecksum(const ReportFrame& frame) {
    unsigned sum = 0;
    for (std::size_t i = request::kPayload; i < request::kChecksum; ++i) {
        sum += frame.bytes[i];
    }
    return static_cast<std::uint8_t>(sum & 0xFF);
}

constexpr void StoreChecksum(ReportFrame& frame) {
    frame.bytes[request::kChecksum] = ComputeChecksum(frame);
}

// Reports the mouse sends on its own. They share the input pipe with replies, so an
// exchange has to recognise them and hand them on instead of taking them as replies.
inline constexpr std::uint8_t kConnectionReport = 0xC0;
inline constexpr std::uint8_t kDpiReport = 0xC2;

constexpr bool IsNotificationCode(std::uint8_t first_reply_byte) {
    return first_reply_byte == kConnectionReport || first_reply_byte == kDpiReport;
}

}  // namespace quillora
