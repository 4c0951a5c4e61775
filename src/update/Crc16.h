#pragma once

// CRC-16/MODBUS: polynomial 0x8005 processed bit-reflected (0xA001), initial value
// 0xFFFF, no final XOR. The check value of "123456789" is 0x4B37.

#include <cstddef>
#include <cstdint>
#include <span>

namespace quillora {

std::uint16_t Crc16Modbus(std::span<const std::uint8_t> bytes);

}  // namespace quillora
