#pragma once

// The reports of the mouse's firmware upgrade interface. Every report is 64 bytes and
// byte 0 is the report ID (0x05); bytes a report does not use are 0xFF.
//
//   start  05 02 02 00 01 FF ...
//   end    05 02 06 00 02 FF ...
//   data   05 02 <length> 00, then up to three 20-byte sub-blocks at offsets 4, 24, 44
//
// A sub-block is the block number (16 bits, low byte first), 16 image bytes and the
// CRC-16/MODBUS of those 18 bytes (low byte first). Block numbers count sub-blocks
// from 0 across the whole image; image bytes missing from the last sub-block stay 0xFF
// and are covered by its check value. The length byte is 20 per sub-block used.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillora {

inline constexpr std::size_t kUpgradeReportSize = 64;
inline constexpr std::uint8_t kUpgradeReportId = 0x05;
inline constexpr std::size_t kUpgradeBlockBytes = 16;    // image bytes per sub-block
inline constexpr std::size_t kUpgradeSubBlockSize = 20;  // number + image bytes + CRC
inline constexpr std::size_t kUpgradeSubBlocksPerReport = 3;
inline constexpr std::size_t kUpgradeBytesPerReport =
    kUpgradeBlockBytes * kUpgradeSubBlocksPerReport;
inline constexpr std::size_t kUpgradeFirstSubBlockOffset = 4;

// Block numbers are 16 bits, so an image can hold at most 65536 sub-blocks (1 MiB).
inline constexpr std::size_t kMaxFirmwareImageSize = 65536 * kUpgradeBlockBytes;

using UpgradeReport = std::array<std::uint8_t, kUpgradeReportSize>;
static_assert(kUpgradeFirstSubBlockOffset + kUpgradeSubBlocksPerReport * kUpgradeSubBlockSize ==
              kUpgradeReportSize);

UpgradeReport BuildUpgradeStartReport();
UpgradeReport BuildUpgradeEndReport();

// A data report carrying `bytes` (at most 48) in as many sub-blocks as they need,
// numbered from firstBlock. An empty span gives a report with no sub-block.
UpgradeReport BuildUpgradeDataReport(std::span<const std::uint8_t> bytes, std::uint16_t firstBlock);

}  // namespace quillora
