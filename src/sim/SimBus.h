#pragma once

// A HID bus of virtual devices behind the HidApi seam: cabled mice, wireless receivers
// whose mouse can be switched off and on, each with its configuration collection, a
// plain mouse collection (a decoy discovery must skip) and, for the cable, the firmware
// upgrade interface. Tests, demo mode and benchmarks all use it.
//
// Time comes from an injected Clock: a read that finds nothing waits its timeout on that
// clock, and a reply becomes readable only once its delay has passed, so with a
// ManualClock every exchange runs instantly and deterministically.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/Clock.h"
#include "device/HidApi.h"
#include "sim/SimInspector.h"
#include "sim/SimMouse.h"

namespace quillora::sim {

// The collections a unit exposes.
inline constexpr std::uint16_t kConfigUsagePage = 0xFF01;
inline constexpr std::uint16_t kConfigUsage = 0x0010;
inline constexpr std::uint16_t kReceiverUsagePage = 0x0001;
inline constexpr std::uint16_t kReceiverUsage = 0x0000;
inline constexpr std::uint16_t kMouseUsagePage = 0x0001;
inline constexpr std::uint16_t kMouseUsage = 0x0002;
inline constexpr std::uint16_t kUpgradeUsagePage = 0xFFEF;
inline constexpr std::uint16_t kUpgradeUsage = 0x0000;

struct UsbIdentity {
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::uint16_t release_number = 0x0100;
    std::u16string product;
};

enum class BusEventKind { Arrived, Removed };

struct BusEvent {
    BusEventKind kind;
    UnitId unit;
    HidDeviceInfo collection;
};

// What the next exchanges on a unit's configuration collection suffer. Counters count
// down as commands arrive.
struct Faults {
    int refuse = 0;                         // answer with status 0x01 only
    int drop = 0;                           // no reply at all
    int garbage = 0;                        // reports of noise sent ahead of the next reply
    int late_ms = 0;                        // extra delay of every reply
    bool vanish = false;                    // accept the next write, then disappear (reads fail)
    std::vector<InputReport> interleave{};  // sent just before the next reply
};

class SimBus final : public HidApi, public SimInspector {
  public:
    explicit SimBus(Clock& clock = SystemClock::Shared());
    ~SimBus() override;

    // Plugs a unit in and notifies the listener once per collection.
    UnitId PlugCable(std::shared_ptr<SimMouse> mouse, const UsbIdentity& identity);
    UnitId PlugReceiver(std::shared_ptr<SimMouse> mouse, const UsbIdentity& identity,
                        bool mouse_on = true);
    // Removes a unit: open handles on it fail from now on. False for an unknown unit.
    bool Pull(UnitId unit);

    // Called (outside the bus lock) on every arrival and removal; hot-plug hooks here.
    void SetListener(std::function<void(const BusEvent&)> listener);

    // Switches a receiver's mouse off or on; the receiver reports it with 0xC0.
    void SetMouseOn(UnitId receiver, bool on);
    // The mouse's DPI button: selects its next level and sends 0xC2 on the unit.
    void PressDpiButton(UnitId unit);
    // Queues any input report on a unit's configuration collection.
    void SendReport(UnitId unit, const InputReport& report);

    void SetFaults(UnitId unit, const Faults& faults);
    // What the next reports on a cable's upgrade interface suffer.
    void SetUpgradeFaults(UnitId unit, const UpgradeFaults& faults);
    // Delay of every report in and out; 1 ms is a full-speed USB interval. The upgrade
    // interface sends its reports on a fixed schedule of one per delay, as an interrupt
    // endpoint takes one per frame: a writer that comes back within one slot of the
    // schedule (late only by its own wake-up) loses no time for it.
    void SetReportDelay(std::chrono::milliseconds delay);

    // HidApi
    int Init() override;
    int Exit() override;
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendor_id,
                                         std::uint16_t product_id) override;
    HidHandle OpenPath(const std::string& path) override;
    void Close(HidHandle handle) override;
    int Write(HidHandle handle, const std::uint8_t* data, std::size_t length) override;
    int ReadTimeout(HidHandle handle, std::uint8_t* data, std::size_t length,
                    int timeout_ms) override;
    int GetProductString(HidHandle handle, std::u16string& out, std::size_t max_chars) override;

    // SimInspector
    std::vector<WrittenReport> Written(UnitId unit) const override;
    void ClearWritten() override;
    std::optional<MouseSettings> SettingsOf(UnitId unit) const override;
    int OpenHandles() const override;
    int PendingInput(UnitId unit) const override;
    std::optional<UpgradeRecord> UpgradeRecordOf(UnitId unit) const override;

  private:
    enum class Role { Config, Decoy, Upgrade };
    struct Collection {
        HidDeviceInfo info;
        Role role;
    };
    struct Pending {
        Clock::Duration ready_at;
        InputReport bytes;
    };
    struct Unit {
        bool receiver = false;
        bool mouse_on = true;
        std::shared_ptr<SimMouse> mouse;
        std::vector<Collection> collections;
        std::vector<Pending> input;  // of the configuration collection, in arrival order
        Faults faults;
        std::vector<WrittenReport> written;
        std::uint32_t noise = 0x2545F491;
        Clock::Duration upgrade_slot_end{};  // when the last upgrade report went out
    };
    struct Open {
        UnitId unit;
        std::size_t collection;
    };

    UnitId PlugLocked(Unit unit, std::vector<BusEvent>& events);
    void Notify(const std::vector<BusEvent>& events);
    void QueueLocked(Unit& unit, InputReport report, Clock::Duration extra = {});
    void RemoveLocked(std::map<UnitId, Unit>::iterator it, std::vector<BusEvent>& events);
    void AnswerLocked(Unit& unit, const std::vector<std::uint8_t>& request);
    InputReport NoiseLocked(Unit& unit);

    Clock& clock_;
    mutable std::mutex mutex_;
    std::map<UnitId, Unit> units_;
    std::map<std::uintptr_t, Open> open_;
    std::uintptr_t next_handle_ = 1;
    UnitId next_unit_ = 1;
    std::chrono::milliseconds report_delay_{0};
    std::function<void(const BusEvent&)> listener_;
    // The cables' upgrade interfaces, outliving their units so that what a vanished
    // mouse received stays visible.
    std::map<UnitId, std::shared_ptr<SimUpgradeTarget>> upgrade_targets_;
};

}  // namespace quillora::sim
