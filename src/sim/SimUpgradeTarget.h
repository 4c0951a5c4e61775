#pragma once

// The simulated mouse's firmware upgrade interface (usage page 0xFFEF): it takes the
// start, data and end reports, checks each sub-block's block number and CRC-16/MODBUS,
// and reassembles the image as it was sent, so the last block keeps its 0xFF padding.
//
// The program reads an answer only after a write failed, so the target answers only
// then: when it refused a write because it was busy, the next report it takes is
// answered with one input report (report ID 0x05, the report's bytes 1 and 2, 0x00,
// then status 0 = taken, 1 = a check failed). Nothing is answered otherwise, so no
// stale answer can wait in the pipe for a later failure to find.
//
// The transport (SimBus, or any other) calls Take for every write on the interface and
// TakeAnswer for every read. Safe to share between threads.

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace quillora::sim {

inline constexpr std::size_t kUpgradeReportBytes = 64;

// What the next reports on the upgrade interface suffer. Reports are numbered in the
// order they are taken from the moment the faults are set, from 0 (usually the start
// report).
struct UpgradeFaults {
    int refuse_at = -1;  // when report refuse_at is due, refuse refuse_writes writes
    int refuse_writes = 0;
    bool answer_after_refusal = true;  // false: a report taken after a refusal is not answered
    int vanish_at = -1;                // the mouse disappears when report vanish_at is due
};

// What the target received. A start report begins a new transfer and empties the
// transfer's part (started to bad_layout); the counters below it run across transfers.
struct UpgradeRecord {
    bool started = false;             // a start report was taken
    bool ended = false;               // an end report followed it
    std::vector<std::uint8_t> image;  // 16 bytes per accepted block, padding included
    std::vector<int> blocks;          // block numbers of the accepted sub-blocks, in order
    std::vector<int> data_lengths;    // the length byte of every data report
    int bad_checks = 0;               // sub-blocks dropped for a wrong check value
    int bad_numbers = 0;              // sub-blocks dropped for a number out of sequence
    int bad_layout = 0;               // reports not laid out as the protocol says

    int reports_taken = 0;
    int writes_refused = 0;
    int answers = 0;
    bool vanished = false;
};

// CRC-16/MODBUS, as the mouse checks it: polynomial 0xA001 (reflected), start 0xFFFF.
std::uint16_t SimCrc16Modbus(std::span<const std::uint8_t> bytes);

class SimUpgradeTarget {
  public:
    enum class Verdict {
        Taken,    // the write went out (whatever the checks found)
        Refused,  // the mouse was busy: the write fails and nothing was taken
        Vanish,   // the mouse is gone: the write fails and the interface disappears
    };

    Verdict Take(std::span<const std::uint8_t> report);
    // The answer waiting to be read, if any (removed from the pipe).
    std::optional<std::vector<std::uint8_t>> TakeAnswer();

    // Also forgets an answer due or waiting, so each set of faults starts afresh.
    void SetFaults(const UpgradeFaults& faults);
    UpgradeRecord Record() const;

  private:
    // Returns false when the report is not laid out as it should be.
    bool CheckedData(std::span<const std::uint8_t> report, bool& checkFailed);

    mutable std::mutex mutex_;
    UpgradeFaults faults_;
    int base_ = 0;      // reports taken when the faults were set
    int refusing_ = 0;  // writes still to refuse
    bool answer_next_ = false;
    std::optional<std::vector<std::uint8_t>> answer_;
    UpgradeRecord record_;
};

}  // namespace quillora::sim
