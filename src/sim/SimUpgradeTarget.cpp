#include "sim/SimUpgradeTarget.h"

#include <algorithm>

namespace quillora::sim {
namespace {

constexpr std::uint8_t kReportId = 0x05;
constexpr std::uint8_t kChannel = 0x02;
constexpr std::uint8_t kStartCode = 0x02;
constexpr std::uint8_t kEndCode = 0x06;
constexpr std::size_t kSubBlockBytes = 20;
constexpr std::size_t kFirstSubBlock = 4;
constexpr std::size_t kBlockData = 16;

bool AllFf(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
}

}  // namespace

std::uint16_t SimCrc16Modbus(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

bool SimUpgradeTarget::CheckedData(std::span<const std::uint8_t> report, bool& checkFailed) {
    const std::size_t length = report[2];
    if (length == 0 || length % kSubBlockBytes != 0 || length > 3 * kSubBlockBytes) {
        return false;
    }
    if (!record_.started || record_.ended) {
        return false;  // data outside a transfer
    }
    record_.data_lengths.push_back(static_cast<int>(length));
    const std::size_t used = length / kSubBlockBytes;
    for (std::size_t i = 0; i < used; ++i) {
        std::span<const std::uint8_t> sub =
            report.subspan(kFirstSubBlock + i * kSubBlockBytes, kSubBlockBytes);
        const int number = sub[0] | (sub[1] << 8);
        const int check = sub[18] | (sub[19] << 8);
        if (SimCrc16Modbus(sub.first(18)) != check) {
            ++record_.bad_checks;
            checkFailed = true;
        } else if (number != static_cast<int>(record_.blocks.size())) {
            ++record_.bad_numbers;
            checkFailed = true;
        } else {
            record_.blocks.push_back(number);
            record_.image.insert(record_.image.end(), sub.begin() + 2,
                                 sub.begin() + 2 + kBlockData);
        }
    }
    return AllFf(report.subspan(kFirstSubBlock + used * kSubBlockBytes));
}

SimUpgradeTarget::Verdict SimUpgradeTarget::Take(std::span<const std::uint8_t> report) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int due = record_.reports_taken - base_;
    if (record_.vanished || due == faults_.vanish_at) {
        record_.vanished = true;
        return Verdict::Vanish;
    }
    if (due == faults_.refuse_at) {
        refusing_ = faults_.refuse_writes;
        faults_.refuse_at = -1;
    }
    if (refusing_ > 0) {
        --refusing_;
        ++record_.writes_refused;
        answer_next_ = faults_.answer_after_refusal;
        return Verdict::Refused;
    }
    ++record_.reports_taken;

    bool laidOut = report.size() == kUpgradeReportBytes && report[0] == kReportId &&
                   report[1] == kChannel && report[3] == 0x00;
    bool checkFailed = false;
    if (laidOut) {
        const std::uint8_t code = report[2];
        if (code == kStartCode && report[4] == 0x01 && AllFf(report.subspan(5))) {
            const UpgradeRecord kept = record_;
            record_ = UpgradeRecord{};
            record_.started = true;
            record_.reports_taken = kept.reports_taken;
            record_.writes_refused = kept.writes_refused;
            record_.answers = kept.answers;
        } else if (code == kEndCode && report[4] == 0x02 && AllFf(report.subspan(5))) {
            laidOut = record_.started && !record_.ended;
            record_.ended = laidOut || record_.ended;
        } else {
            laidOut = CheckedData(report, checkFailed);
        }
    }
    if (!laidOut) {
        ++record_.bad_layout;
    }

    if (answer_next_) {
        answer_next_ = false;
        std::vector<std::uint8_t> answer(kUpgradeReportBytes, 0xFF);
        answer[0] = kReportId;
        answer[1] = report.size() > 1 ? report[1] : 0;
        answer[2] = report.size() > 2 ? report[2] : 0;
        answer[3] = 0x00;
        answer[4] = (laidOut && !checkFailed) ? 0x00 : 0x01;
        answer_ = std::move(answer);
        ++record_.answers;
    }
    return Verdict::Taken;
}

std::optional<std::vector<std::uint8_t>> SimUpgradeTarget::TakeAnswer() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<std::vector<std::uint8_t>> answer = std::move(answer_);
    answer_.reset();
    return answer;
}

void SimUpgradeTarget::SetFaults(const UpgradeFaults& faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_ = faults;
    base_ = record_.reports_taken;
    refusing_ = 0;
    answer_next_ = false;
    answer_.reset();
}

UpgradeRecord SimUpgradeTarget::Record() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return record_;
}

}  // namespace quillora::sim
