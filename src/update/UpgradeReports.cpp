#include "update/UpgradeReports.h"

#include <algorithm>

#include "update/Crc16.h"

namespace quillora {
namespace {

UpgradeReport BlankReport(std::uint8_t command) {
    UpgradeReport report;
    report.fill(0xFF);
    report[0] = kUpgradeReportId;
    report[1] = 0x02;
    report[2] = command;
    report[3] = 0x00;
    return report;
}

}  // namespace

UpgradeReport BuildUpgradeStartReport() {
    UpgradeReport report = BlankReport(0x02);
    report[4] = 0x01;
    return report;
}

UpgradeReport BuildUpgradeEndReport() {
    UpgradeReport report = BlankReport(0x06);
    report[4] = 0x02;
    return report;
}

UpgradeReport BuildUpgradeDataReport(std::span<const std::uint8_t> bytes,
                                     std::uint16_t firstBlock) {
    bytes = bytes.first(std::min(bytes.size(), kUpgradeBytesPerReport));
    size_t subBlocks = (bytes.size() + kUpgradeBlockBytes - 1) / kUpgradeBlockBytes;
    UpgradeReport report = BlankReport(static_cast<std::uint8_t>(subBlocks * kUpgradeSubBlockSize));
    for (size_t i = 0; i < subBlocks; ++i) {
        std::uint8_t* sub = report.data() + kUpgradeFirstSubBlockOffset + i * kUpgradeSubBlockSize;
        auto block = static_cast<std::uint16_t>(firstBlock + i);  // wraps only past 1 MiB
        sub[0] = static_cast<std::uint8_t>(block & 0xFF);
        sub[1] = static_cast<std::uint8_t>(block >> 8);
        std::span<const std::uint8_t> piece =
            bytes.subspan(i * kUpgradeBlockBytes,
                          std::min(kUpgradeBlockBytes, bytes.size() - i * kUpgradeBlockBytes));
        std::copy(piece.begin(), piece.end(), sub + 2);
        std::uint16_t crc = Crc16Modbus({sub, 2 + kUpgradeBlockBytes});
        sub[18] = static_cast<std::uint8_t>(crc & 0xFF);
        sub[19] = static_cast<std::uint8_t>(crc >> 8);
    }
    return report;
}

}  // namespace quillora
