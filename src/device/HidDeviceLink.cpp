#include "device/HidDeviceLink.h"

#include <algorithm>
#include <cstring>

#include "app/Trace.h"
#include "app/Utf8.h"
#include "device/DeviceInfo.h"

namespace quillora {
namespace {

// The two top-level collections through which the mouse takes commands: the receiver's
// vendor-neutral one and the cabled mouse's vendor page.
bool IsConfigCollection(const HidDeviceInfo& info) {
    return (info.usage_page == 0x0001 && info.usage == 0x0000) ||
           (info.usage_page == 0xFF01 && info.usage == 0x0010);
}

bool IsAcknowledgement(const std::uint8_t* report, int length) {
    return length >= 2 && report[reply::kStatus] == 0x00 &&
           !IsNotificationCode(report[reply::kCommand]);
}

}  // namespace

HidDeviceLink::HidDeviceLink(HidApi& api, Clock& clock) : api_(api), clock_(clock) {
    initialised_ = api_.Init() == 0;
    if (!initialised_) {
        Trace(TraceLevel::Error, "HID transport could not be initialised");
    }
}

HidDeviceLink::~HidDeviceLink() {
    CloseAll();
    CloseUpgradeInterface();
    if (initialised_) {
        api_.Exit();
    }
}

void HidDeviceLink::SetWireLog(WireLogSink* sink) {
    wire_log_ = sink;
}

void HidDeviceLink::ClearSupportedDevices() {
    std::lock_guard<std::mutex> lock(mutex_);
    supported_.clear();
}

void HidDeviceLink::AddSupportedDevice(const SupportedIdentity& identity) {
    std::lock_guard<std::mutex> lock(mutex_);
    supported_.push_back(identity);
}

bool HidDeviceLink::IsSupported(std::uint16_t vendor_id, std::uint16_t product_id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(supported_.begin(), supported_.end(), [&](const SupportedIdentity& s) {
        return s.vendor_id == vendor_id && s.product_id == product_id;
    });
}

int HidDeviceLink::GetLinkKindLocked(std::uint16_t vendor_id, std::uint16_t product_id) const {
    for (const SupportedIdentity& s : supported_) {
        if (s.vendor_id == vendor_id && s.product_id == product_id) {
            return s.link_kind;
        }
    }
    return kLinkCable;
}

int HidDeviceLink::GetLinkKind(std::uint16_t vendor_id, std::uint16_t product_id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return GetLinkKindLocked(vendor_id, product_id);
}

int HidDeviceLink::GetDeviceTypeLocked(std::uint16_t vendor_id, std::uint16_t product_id,
                                       const std::u16string& model_code) const {
    for (const SupportedIdentity& s : supported_) {
        if (s.vendor_id != vendor_id || s.product_id != product_id) {
            continue;
        }
        if (s.model_code.size() < 4) {
            return kGenericDeviceType;
        }
        if (s.model_code == model_code) {
            return s.device_type;
        }
    }
    return 0;
}

int HidDeviceLink::GetDeviceType(std::uint16_t vendor_id, std::uint16_t product_id,
                                 const std::u16string& model_code) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return GetDeviceTypeLocked(vendor_id, product_id, model_code);
}

std::vector<ReportFrame> HidDeviceLink::EnumerateDevice() {
    std::vector<ReportFrame> notifications;
    if (!initialised_) {
        return notifications;
    }
    for (const HidDeviceInfo& entry : api_.Enumerate(0, 0)) {
        if (!IsSupported(entry.vendor_id, entry.product_id) || !IsConfigCollection(entry)) {
            continue;
        }
        if (entry.path.size() > kMaxPathChars) {
            Trace(TraceLevel::Warning, "HID path too long, interface skipped: %.64s...",
                  entry.path.c_str());
            continue;
        }
        HidHandle handle = api_.OpenPath(entry.path);
        if (handle == HidHandle::None) {
            continue;
        }
        HidInterface record;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            record.index = static_cast<int>(interfaces_.size());
            record.link_kind = GetLinkKindLocked(entry.vendor_id, entry.product_id);
        }
        record.vendor_id = entry.vendor_id;
        record.product_id = entry.product_id;
        record.path = entry.path;
        record.handle = handle;
        record.release_number = entry.release_number;
        record.online_state = kOnline;
        if (api_.GetProductString(handle, record.product_string, kMaxProductChars) != 0) {
            record.product_string.clear();
        }
        Trace(TraceLevel::Info, "UpdateUSBDevice path: %s", entry.path.c_str());

        if (QueryInfoWithRetry({handle, record.index}, record.device_info, notifications)) {
            record.model_code = ModelCodeOf(record.device_info);
            record.device_type =
                GetDeviceType(record.vendor_id, record.product_id, record.model_code);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        record.index = static_cast<int>(interfaces_.size());
        interfaces_.push_back(std::move(record));
    }
    Keep(notifications);
    return notifications;
}

void HidDeviceLink::Keep(const std::vector<ReportFrame>& notifications) {
    if (notifications.empty()) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // A device that floods reports during exchanges cannot grow this without bound.
    constexpr std::size_t kMaxKept = 64;
    for (const ReportFrame& n : notifications) {
        if (kept_.size() < kMaxKept) {
            kept_.push_back(n);
        }
    }
}

std::vector<ReportFrame> HidDeviceLink::TakeKeptNotifications() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ReportFrame> taken;
    taken.swap(kept_);
    return taken;
}

bool HidDeviceLink::CanReadNotification() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) {
        return false;
    }
    if (CurrentTargetLocked().handle != HidHandle::None) {
        return true;
    }
    return std::any_of(interfaces_.begin(), interfaces_.end(), [](const HidInterface& i) {
        return i.link_kind == kLinkReceiver && i.handle != HidHandle::None;
    });
}

void HidDeviceLink::SetOpen(bool open) {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = open;
}

bool HidDeviceLink::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

void HidDeviceLink::CloseAll() {
    std::vector<HidInterface> closing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        current_index_ = -1;
        if (!open_) {
            return;
        }
        open_ = false;
        closing.swap(interfaces_);
    }
    for (const HidInterface& i : closing) {
        api_.Close(i.handle);
    }
}

void HidDeviceLink::SelectDeviceType(int device_type) {
    std::lock_guard<std::mutex> lock(mutex_);
    selected_device_type_ = device_type;
    current_index_ = -1;
}

int HidDeviceLink::SelectedDeviceType() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return selected_device_type_;
}

HidHandle HidDeviceLink::CurrentInterfaceLocked() {
    return CurrentTargetLocked().handle;
}

HidDeviceLink::Target HidDeviceLink::CurrentTargetLocked() {
    if (current_index_ >= 0 && current_index_ < static_cast<int>(interfaces_.size())) {
        const HidInterface& i = interfaces_[current_index_];
        return {i.handle, i.index};
    }
    for (const HidInterface& i : interfaces_) {
        if (i.device_type == selected_device_type_ && i.link_kind == kLinkCable) {
            current_index_ = i.index;
            return {i.handle, i.index};
        }
    }
    for (const HidInterface& i : interfaces_) {
        if (i.device_type == selected_device_type_ && i.link_kind == kLinkReceiver) {
            // Only the first receiver of the model counts, and only while its mouse is on.
            if (i.online_state == kOnline) {
                current_index_ = i.index;
                return {i.handle, i.index};
            }
            return {};
        }
    }
    return {};
}

HidHandle HidDeviceLink::CurrentInterface() {
    std::lock_guard<std::mutex> lock(mutex_);
    return CurrentInterfaceLocked();
}

int HidDeviceLink::GetSelectedKind() const {
    std::lock_guard<std::mutex> lock(mutex_);
    bool receiver = false;
    for (const HidInterface& i : interfaces_) {
        if (i.device_type != selected_device_type_) {
            continue;
        }
        if (i.link_kind == kLinkCable) {
            return kLinkCable;
        }
        receiver = receiver || i.link_kind == kLinkReceiver;
    }
    return receiver ? kLinkReceiver : -1;
}

bool HidDeviceLink::GetCurrentIds(std::uint16_t& vendor_id, std::uint16_t& product_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Target t = CurrentTargetLocked();
    if (t.handle == HidHandle::None) {
        return false;
    }
    const HidInterface& i = interfaces_[t.index];
    vendor_id = i.vendor_id;
    product_id = i.product_id;
    return true;
}

bool HidDeviceLink::IsDeviceAvailable(int device_type) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(interfaces_.begin(), interfaces_.end(), [&](const HidInterface& i) {
        return i.device_type == device_type && !i.model_code.empty() && i.online_state > 0;
    });
}

bool HidDeviceLink::GetInterfaces(std::vector<HidInterface>& out) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (interfaces_.empty()) {
        return false;
    }
    for (const HidInterface& i : interfaces_) {
        if (selected_device_type_ == 0 || i.device_type == selected_device_type_) {
            out.push_back(i);
        }
    }
    return true;
}

bool HidDeviceLink::GetReleaseNumber(int& number, int link_kind) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) {
        return false;
    }
    for (const HidInterface& i : interfaces_) {
        if (i.link_kind == link_kind) {
            number = i.release_number;
            return true;
        }
    }
    return false;
}

void HidDeviceLink::SetOnlineStateLocked(int device_type, int link_kind, int state) {
    for (HidInterface& i : interfaces_) {
        if (i.device_type == device_type && i.link_kind == link_kind) {
            i.online_state = state;
        }
    }
}

void HidDeviceLink::SetOnlineState(int device_type, int link_kind, int state) {
    std::lock_guard<std::mutex> lock(mutex_);
    SetOnlineStateLocked(device_type, link_kind, state);
}

HidInterface* HidDeviceLink::FindLocked(int index, HidHandle handle) {
    if (index < 0 || index >= static_cast<int>(interfaces_.size()) ||
        interfaces_[index].handle != handle) {
        return nullptr;
    }
    return &interfaces_[index];
}

int HidDeviceLink::Write(const Target& target, const std::uint8_t* data, std::size_t length) {
    // Logged as built: the transport may pad it to the interface's report length.
    if (wire_log_ != nullptr) {
        wire_log_->Record(WireDirection::Write, target.index, {data, length});
    }
    return api_.Write(target.handle, data, length);
}

int HidDeviceLink::Read(const Target& target, std::uint8_t* data, std::size_t length,
                        int timeout_ms) {
    const int n = api_.ReadTimeout(target.handle, data, length, timeout_ms);
    if (n > 0 && wire_log_ != nullptr) {
        wire_log_->Record(WireDirection::Read, target.index, {data, static_cast<std::size_t>(n)});
    }
    return n;
}

HidDeviceLink::Outcome HidDeviceLink::Exchange(const Target& target, const std::uint8_t* request,
                                               std::uint8_t* reply, std::size_t size,
                                               std::vector<ReportFrame>& notifications) {
    if (Write(target, request, size) < 1) {
        return Outcome::WriteFailed;
    }
    std::memcpy(reply, request, size);
    ReportFrame input;
    for (int attempt = 0; attempt < kReplyReads; ++attempt) {
        input.Clear();
        const int n = Read(target, input.data(), size, kReplyReadMs);
        if (n < 0) {
            // The device is gone; further reads cannot bring the reply.
            Trace(TraceLevel::Warning, "HID read failed during exchange 0x%02X", request[1]);
            return Outcome::NotAcknowledged;
        }
        if (n == 0) {
            continue;
        }
        if (IsNotificationCode(input[0])) {
            notifications.push_back(input);
            continue;
        }
        std::memcpy(reply, input.data(), static_cast<std::size_t>(n));
        if (IsAcknowledgement(input.data(), n)) {
            return Outcome::Acknowledged;
        }
    }
    return Outcome::NotAcknowledged;
}

ExchangeResult HidDeviceLink::SendCommand(ReportFrame& frame, FrameSize size) {
    ExchangeResult result;
    Target target;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!open_) {
            return result;
        }
        target = CurrentTargetLocked();
    }
    if (target.handle == HidHandle::None) {
        return result;
    }
    StoreChecksum(frame);
    const std::size_t n = ToBytes(size);
    ReportFrame scratch;
    const Outcome outcome = Exchange(target, frame.data(), scratch.data(), n, result.notifications);
    Keep(result.notifications);
    if (outcome == Outcome::WriteFailed) {
        return result;
    }
    result.ok = outcome == Outcome::Acknowledged;
    if (!result.ok) {
        Trace(TraceLevel::Warning, "command 0x%02X not acknowledged", frame[request::kCommand]);
    }
    std::memcpy(frame.data(), scratch.data(), n);
    return result;
}

bool HidDeviceLink::QueryInfoOn(const Target& target, ReportFrame& frame,
                                std::vector<ReportFrame>& notifications) {
    const ReportFrame request = MakeDeviceInfoQuery();
    ReportFrame reply;
    const bool ok = Exchange(target, request.data(), reply.data(), ToBytes(FrameSize::Short),
                             notifications) == Outcome::Acknowledged;
    frame.Clear();
    if (ok) {
        std::memcpy(frame.data(), reply.data(), ToBytes(FrameSize::Short));
    }
    return ok;
}

bool HidDeviceLink::QueryInfoWithRetry(const Target& target, ReportFrame& frame,
                                       std::vector<ReportFrame>& notifications) {
    if (QueryInfoOn(target, frame, notifications)) {
        return true;
    }
    clock_.SleepFor(std::chrono::milliseconds(kRequeryDelayMs));
    return QueryInfoOn(target, frame, notifications);
}

ExchangeResult HidDeviceLink::QueryDeviceInfo(ReportFrame& frame, std::optional<int> index) {
    ExchangeResult result;
    Target target;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!index) {
            const Target current = CurrentTargetLocked();
            if (current.handle == HidHandle::None) {
                return result;
            }
            frame = interfaces_[current.index].device_info;
            result.ok = true;
            return result;
        }
        if (*index < 0 || *index >= static_cast<int>(interfaces_.size())) {
            return result;
        }
        target = {interfaces_[*index].handle, *index};
    }
    result.ok = QueryInfoOn(target, frame, result.notifications);
    Keep(result.notifications);
    if (result.ok) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (HidInterface* i = FindLocked(target.index, target.handle)) {
            i->device_info = frame;
        }
    }
    return result;
}

bool HidDeviceLink::ReadNotification(ReportFrame& buffer, int& device_type) {
    Target current;
    std::vector<Target> receivers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!open_) {
            return false;
        }
        device_type = selected_device_type_;
        current = CurrentTargetLocked();
        if (current.handle == HidHandle::None) {
            for (const HidInterface& i : interfaces_) {
                if (i.link_kind == kLinkReceiver && i.handle != HidHandle::None) {
                    receivers.push_back({i.handle, i.index});
                }
            }
        }
    }
    if (current.handle != HidHandle::None) {
        return Read(current, buffer.data(), ReportFrame::kSize, kNotificationReadMs) > 0;
    }
    const int share = receivers.empty()
                          ? 0
                          : std::max(1, kNotificationReadMs / static_cast<int>(receivers.size()));
    for (const Target& r : receivers) {
        ReportFrame scratch;
        if (Read(r, scratch.data(), ToBytes(FrameSize::Short), share) <= 0) {
            continue;
        }
        if (scratch[0] == kConnectionReport) {
            const bool online = scratch[1] == 1;
            ReportFrame info;
            std::vector<ReportFrame> ignored;  // the report being handled is the news
            const bool queried = online && QueryInfoWithRetry(r, info, ignored);
            std::lock_guard<std::mutex> lock(mutex_);
            if (HidInterface* i = FindLocked(r.index, r.handle)) {
                i->online_state = online ? kOnline : kOffline;
                if (queried) {
                    i->device_info = info;
                    i->model_code = ModelCodeOf(info);
                    i->device_type =
                        GetDeviceTypeLocked(i->vendor_id, i->product_id, i->model_code);
                }
                device_type = i->device_type;
                SetOnlineStateLocked(i->device_type, i->link_kind, i->online_state);
            }
        } else {
            std::lock_guard<std::mutex> lock(mutex_);
            if (HidInterface* i = FindLocked(r.index, r.handle)) {
                device_type = i->device_type;
            }
        }
        buffer = scratch;
        return false;
    }
    return false;
}

void HidDeviceLink::PollReceivers() {
    std::vector<Target> receivers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const HidInterface& i : interfaces_) {
            if (i.device_type == selected_device_type_ && i.link_kind == kLinkReceiver &&
                i.handle != HidHandle::None) {
                receivers.push_back({i.handle, i.index});
            }
        }
    }
    for (const Target& r : receivers) {
        ReportFrame scratch;
        if (Read(r, scratch.data(), ToBytes(FrameSize::Short), kReceiverReadMs) <= 0 ||
            scratch[0] != kConnectionReport) {
            continue;
        }
        const int state = scratch[1] == 1 ? kOnline : kOnlineAfterPoll;
        std::lock_guard<std::mutex> lock(mutex_);
        if (HidInterface* i = FindLocked(r.index, r.handle)) {
            i->online_state = state;
            SetOnlineStateLocked(i->device_type, i->link_kind, state);
        }
    }
}

HidHandle HidDeviceLink::OpenUpgradeInterface(std::uint16_t vendor_id, std::uint16_t product_id) {
    if (!initialised_) {
        return HidHandle::None;
    }
    for (const HidDeviceInfo& entry : api_.Enumerate(vendor_id, product_id)) {
        if (entry.vendor_id == vendor_id && entry.product_id == product_id &&
            entry.usage_page == 0xFFEF && entry.usage == 0) {
            return api_.OpenPath(entry.path);
        }
    }
    return HidHandle::None;
}

void HidDeviceLink::SetUpgradeInterface(HidHandle handle) {
    HidHandle previous;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        previous = upgrade_;
        upgrade_ = handle;
    }
    if (previous != HidHandle::None && previous != handle) {
        api_.Close(previous);
    }
}

void HidDeviceLink::CloseUpgradeInterface() {
    SetUpgradeInterface(HidHandle::None);
}

bool HidDeviceLink::SendUpgradeReport(std::span<const std::uint8_t> report) {
    Target target;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target = {upgrade_, kUpgradeInterfaceIndex};
    }
    if (target.handle == HidHandle::None || report.size() != kUpgradeReportSize) {
        return false;
    }
    if (Write(target, report.data(), report.size()) >= 1) {
        return true;
    }
    clock_.SleepFor(std::chrono::milliseconds(3));
    Write(target, report.data(), report.size());
    clock_.SleepFor(std::chrono::milliseconds(5));
    std::uint8_t answer[kUpgradeReportSize];
    return Read(target, answer, sizeof answer, 1000) > 0;
}

}  // namespace quillora
