#include "sim/SimBus.h"

#include <algorithm>
#include <cstring>

#include "device/ReportFrame.h"
#include "protocol/CommandCatalogue.h"

namespace quillora::sim {
namespace {

std::string PathOf(UnitId unit, std::size_t collection) {
    return "sim:" + std::to_string(unit) + ":" + std::to_string(collection);
}

}  // namespace

SimBus::SimBus(Clock& clock) : clock_(clock) {}

SimBus::~SimBus() = default;

UnitId SimBus::PlugLocked(Unit unit, std::vector<BusEvent>& events) {
    const UnitId id = next_unit_++;
    for (std::size_t i = 0; i < unit.collections.size(); ++i) {
        unit.collections[i].info.path = PathOf(id, i);
        events.push_back({BusEventKind::Arrived, id, unit.collections[i].info});
    }
    units_.emplace(id, std::move(unit));
    return id;
}

void SimBus::Notify(const std::vector<BusEvent>& events) {
    std::function<void(const BusEvent&)> listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listener = listener_;
    }
    if (listener) {
        for (const BusEvent& e : events) {
            listener(e);
        }
    }
}

namespace {

HidDeviceInfo InfoFor(const UsbIdentity& id, std::uint16_t page, std::uint16_t usage,
                      int interface_number) {
    HidDeviceInfo info;
    info.vendor_id = id.vendor_id;
    info.product_id = id.product_id;
    info.release_number = id.release_number;
    info.usage_page = page;
    info.usage = usage;
    info.interface_number = interface_number;
    info.product_string = id.product;
    return info;
}

}  // namespace

UnitId SimBus::PlugCable(std::shared_ptr<SimMouse> mouse, const UsbIdentity& identity) {
    Unit unit;
    unit.mouse = std::move(mouse);
    // The plain mouse collection comes first, as on the hardware, so discovery has to
    // skip it rather than stop at it.
    unit.collections = {{InfoFor(identity, kMouseUsagePage, kMouseUsage, 0), Role::Decoy},
                        {InfoFor(identity, kConfigUsagePage, kConfigUsage, 2), Role::Config},
                        {InfoFor(identity, kUpgradeUsagePage, kUpgradeUsage, 1), Role::Upgrade}};
    std::vector<BusEvent> events;
    UnitId id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = PlugLocked(std::move(unit), events);
        upgrade_targets_[id] = std::make_shared<SimUpgradeTarget>();
    }
    Notify(events);
    return id;
}

UnitId SimBus::PlugReceiver(std::shared_ptr<SimMouse> mouse, const UsbIdentity& identity,
                            bool mouse_on) {
    Unit unit;
    unit.receiver = true;
    unit.mouse_on = mouse_on;
    unit.mouse = std::move(mouse);
    unit.collections = {{InfoFor(identity, kMouseUsagePage, kMouseUsage, 0), Role::Decoy},
                        {InfoFor(identity, kReceiverUsagePage, kReceiverUsage, 2), Role::Config}};
    std::vector<BusEvent> events;
    UnitId id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = PlugLocked(std::move(unit), events);
    }
    Notify(events);
    return id;
}

bool SimBus::Pull(UnitId id) {
    std::vector<BusEvent> events;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = units_.find(id);
        if (it == units_.end()) {
            return false;
        }
        for (const Collection& c : it->second.collections) {
            events.push_back({BusEventKind::Removed, id, c.info});
        }
        units_.erase(it);
    }
    Notify(events);
    return true;
}

void SimBus::SetListener(std::function<void(const BusEvent&)> listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void SimBus::QueueLocked(Unit& unit, InputReport report, Clock::Duration extra) {
    Clock::Duration ready = clock_.Now() + report_delay_ + extra;
    // One input pipe: a report never overtakes the one queued before it.
    if (!unit.input.empty()) {
        ready = std::max(ready, unit.input.back().ready_at);
    }
    unit.input.push_back({ready, std::move(report)});
}

void SimBus::SetMouseOn(UnitId id, bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    if (it == units_.end() || !it->second.receiver || it->second.mouse_on == on) {
        return;
    }
    it->second.mouse_on = on;
    QueueLocked(it->second, it->second.mouse->ConnectionReport(on));
}

void SimBus::PressDpiButton(UnitId id) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    if (it == units_.end() || (it->second.receiver && !it->second.mouse_on)) {
        return;
    }
    QueueLocked(it->second, it->second.mouse->PressDpiButton());
}

void SimBus::SendReport(UnitId id, const InputReport& report) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    if (it != units_.end()) {
        QueueLocked(it->second, report);
    }
}

void SimBus::SetFaults(UnitId id, const Faults& faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    if (it != units_.end()) {
        it->second.faults = faults;
    }
}

void SimBus::SetReportDelay(std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> lock(mutex_);
    report_delay_ = delay;
}

int SimBus::Init() {
    return 0;
}

int SimBus::Exit() {
    return 0;
}

std::vector<HidDeviceInfo> SimBus::Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<HidDeviceInfo> list;
    for (const auto& [id, unit] : units_) {
        for (const Collection& c : unit.collections) {
            if ((vendor_id == 0 || c.info.vendor_id == vendor_id) &&
                (product_id == 0 || c.info.product_id == product_id)) {
                list.push_back(c.info);
            }
        }
    }
    return list;
}

HidHandle SimBus::OpenPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [id, unit] : units_) {
        for (std::size_t i = 0; i < unit.collections.size(); ++i) {
            if (unit.collections[i].info.path == path) {
                const std::uintptr_t handle = next_handle_++;
                open_[handle] = {id, i};
                return static_cast<HidHandle>(handle);
            }
        }
    }
    return HidHandle::None;
}

void SimBus::Close(HidHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    open_.erase(static_cast<std::uintptr_t>(handle));
}

InputReport SimBus::NoiseLocked(Unit& unit) {
    auto next = [&unit] {
        unit.noise ^= unit.noise << 13;
        unit.noise ^= unit.noise >> 17;
        unit.noise ^= unit.noise << 5;
        return unit.noise;
    };
    InputReport noise(1 + next() % kInputReportSize);
    for (auto& b : noise) {
        b = static_cast<std::uint8_t>(next());
    }
    // Noise never looks like an acknowledgement (status 0) or a notification.
    if (noise.size() > 1 && noise[1] == 0) {
        noise[1] = 0x5A;
    }
    if (IsNotificationCode(noise[0])) {
        noise[0] ^= 0x01;
    }
    return noise;
}

void SimBus::AnswerLocked(Unit& unit, const std::vector<std::uint8_t>& request) {
    Faults& f = unit.faults;
    if (unit.receiver && !unit.mouse_on) {
        // The receiver still answers who it is, with the connection flag clear.
        if (request.size() > request::kCommand &&
            request[request::kCommand] == cmd::kGetDeviceInfo) {
            QueueLocked(unit, unit.mouse->DeviceInfoReply(false),
                        std::chrono::milliseconds(f.late_ms));
        }
        return;
    }
    std::optional<InputReport> reply = unit.mouse->Handle(request);
    if (!reply) {
        return;
    }
    if (f.drop > 0) {
        --f.drop;
        return;
    }
    if (f.refuse > 0) {
        --f.refuse;
        (*reply)[reply::kStatus] = 0x01;
    }
    for (InputReport& r : f.interleave) {
        QueueLocked(unit, std::move(r));
    }
    f.interleave.clear();
    for (; f.garbage > 0; --f.garbage) {
        QueueLocked(unit, NoiseLocked(unit));
    }
    QueueLocked(unit, std::move(*reply), std::chrono::milliseconds(f.late_ms));
}

int SimBus::Write(HidHandle handle, const std::uint8_t* data, std::size_t length) {
    if (data == nullptr || length == 0) {
        return -1;
    }
    std::vector<BusEvent> events;
    std::chrono::milliseconds delay;
    int written = static_cast<int>(length);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto open = open_.find(static_cast<std::uintptr_t>(handle));
        if (open == open_.end()) {
            return -1;
        }
        auto it = units_.find(open->second.unit);
        if (it == units_.end()) {
            return -1;
        }
        Unit& unit = it->second;
        std::vector<std::uint8_t> bytes(data, data + length);
        delay = report_delay_;
        const Role role = unit.collections[open->second.collection].role;
        SimUpgradeTarget::Verdict verdict = SimUpgradeTarget::Verdict::Taken;
        if (role == Role::Upgrade) {
            verdict = upgrade_targets_.at(it->first)->Take(bytes);
            const Clock::Duration now = clock_.Now();
            Clock::Duration& slot = unit.upgrade_slot_end;
            slot = now > slot + delay ? now + delay : slot + delay;
            delay = std::chrono::duration_cast<std::chrono::milliseconds>(slot - now);
        }
        if (verdict == SimUpgradeTarget::Verdict::Taken) {
            unit.written.push_back({static_cast<int>(open->second.collection), bytes});
        }
        if (verdict == SimUpgradeTarget::Verdict::Vanish) {
            RemoveLocked(it, events);
        } else if (role == Role::Config) {
            if (unit.faults.vanish) {
                // The write went out; the device is gone before it can answer.
                RemoveLocked(it, events);
            } else {
                AnswerLocked(unit, bytes);
            }
        }
        if (verdict != SimUpgradeTarget::Verdict::Taken) {
            written = -1;
        }
    }
    Notify(events);
    clock_.SleepFor(delay);
    return written;
}

void SimBus::RemoveLocked(std::map<UnitId, Unit>::iterator it, std::vector<BusEvent>& events) {
    for (const Collection& c : it->second.collections) {
        events.push_back({BusEventKind::Removed, it->first, c.info});
    }
    units_.erase(it);
}

int SimBus::ReadTimeout(HidHandle handle, std::uint8_t* data, std::size_t length, int timeout_ms) {
    const Clock::Duration timeout(timeout_ms < 0 ? 1000 : timeout_ms);
    InputReport report;
    Clock::Duration wait;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto open = open_.find(static_cast<std::uintptr_t>(handle));
        if (open == open_.end()) {
            return -1;
        }
        auto it = units_.find(open->second.unit);
        if (it == units_.end()) {
            return -1;
        }
        Unit& unit = it->second;
        const Clock::Duration now = clock_.Now();
        const Role role = unit.collections[open->second.collection].role;
        std::optional<std::vector<std::uint8_t>> answer;
        if (role == Role::Upgrade) {
            answer = upgrade_targets_.at(it->first)->TakeAnswer();
        }
        if (answer) {
            wait = Clock::Duration(0);
            report = std::move(*answer);
        } else if (role != Role::Config || unit.input.empty() ||
                   unit.input.front().ready_at > now + timeout) {
            wait = timeout;
        } else {
            wait = std::max(Clock::Duration(0), unit.input.front().ready_at - now);
            report = std::move(unit.input.front().bytes);
            unit.input.erase(unit.input.begin());
        }
    }
    clock_.SleepFor(wait);
    if (report.empty()) {
        return 0;
    }
    const std::size_t n = std::min(length, report.size());
    std::memcpy(data, report.data(), n);
    return static_cast<int>(n);
}

int SimBus::GetProductString(HidHandle handle, std::u16string& out, std::size_t max_chars) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto open = open_.find(static_cast<std::uintptr_t>(handle));
    if (open == open_.end()) {
        return -1;
    }
    auto it = units_.find(open->second.unit);
    if (it == units_.end()) {
        return -1;
    }
    out = it->second.collections[open->second.collection].info.product_string.substr(0, max_chars);
    return 0;
}

std::vector<WrittenReport> SimBus::Written(UnitId id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    return it == units_.end() ? std::vector<WrittenReport>{} : it->second.written;
}

void SimBus::ClearWritten() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, unit] : units_) {
        unit.written.clear();
    }
}

std::optional<MouseSettings> SimBus::SettingsOf(UnitId id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    if (it == units_.end()) {
        return std::nullopt;
    }
    return it->second.mouse->Settings();
}

int SimBus::OpenHandles() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(open_.size());
}

std::optional<UpgradeRecord> SimBus::UpgradeRecordOf(UnitId id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = upgrade_targets_.find(id);
    if (it == upgrade_targets_.end()) {
        return std::nullopt;
    }
    return it->second->Record();
}

void SimBus::SetUpgradeFaults(UnitId id, const UpgradeFaults& faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = upgrade_targets_.find(id);
    if (it != upgrade_targets_.end()) {
        it->second->SetFaults(faults);
    }
}

int SimBus::PendingInput(UnitId id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = units_.find(id);
    return it == units_.end() ? 0 : static_cast<int>(it->second.input.size());
}

}  // namespace quillora::sim
