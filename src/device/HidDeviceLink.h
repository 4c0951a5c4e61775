#pragma once

// The process's access to the mice: which USB identities belong to supported models,
// every open configuration interface of every connected mouse and receiver, the model
// the user works with, and the interface through which it is reached (the cable when
// there is one, else a receiver whose mouse is online). It offers the command exchange,
// the device information query, the reads of unsolicited reports and the firmware
// upgrade channel.
//
// Threads: every exchange, enumeration and close runs on the worker. The window thread
// may select a model and ask for status at any time; a mutex guards the lists and the
// selection, and no exchange holds it while it waits on the device (an exchange takes
// its handle once, at its start).

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/Clock.h"
#include "device/HidApi.h"
#include "device/ReportFrame.h"
#include "device/WireLog.h"

namespace quillora {

enum LinkKind : int { kLinkCable = 0, kLinkReceiver = 1 };

// Online states of an interface; a cable is always kOnline.
inline constexpr int kOffline = 0;
inline constexpr int kOnline = 1;
inline constexpr int kOnlineAfterPoll = 2;

// The device type of a catalogued identity whose model code is left empty.
inline constexpr int kGenericDeviceType = 101;

struct SupportedIdentity {
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    int device_type = 0;
    int link_kind = kLinkCable;
    std::u16string model_code;
};

// One open configuration interface. Copies handed out by GetInterfaces carry the handle
// for identification only; the link owns and closes it.
struct HidInterface {
    int index = 0;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::string path;
    std::u16string product_string;
    HidHandle handle = HidHandle::None;
    int release_number = 0;
    int device_type = 0;
    int link_kind = kLinkCable;
    int online_state = kOnline;
    std::u16string model_code;
    ReportFrame device_info;  // the last device information record read
};

// The outcome of one exchange. Connection (0xC0) and DPI (0xC2) reports the device sent
// while the exchange waited are never taken as its reply; they come back here, in
// arrival order, for the notification handler.
struct ExchangeResult {
    bool ok = false;
    std::vector<ReportFrame> notifications;

    explicit operator bool() const { return ok; }
};

class HidDeviceLink {
  public:
    // Exchange bounds: up to 50 reads of 30 ms wait for an acknowledgement.
    static constexpr int kReplyReads = 50;
    static constexpr int kReplyReadMs = 30;
    static constexpr int kRequeryDelayMs = 500;
    static constexpr int kNotificationReadMs = 100;
    // PollReceivers reads each receiver this long. An idle ReadNotification without a
    // current interface shares kNotificationReadMs among the receivers instead, so the
    // worker wakes as seldom with only receivers as with a current interface.
    static constexpr int kReceiverReadMs = 10;
    static constexpr std::size_t kMaxProductChars = 512;
    static constexpr std::size_t kMaxPathChars = 1023;
    static constexpr std::size_t kUpgradeReportSize = 64;

    // Initialises the transport (`api.Init()`); when that fails the link still exists
    // and every enumeration finds nothing.
    explicit HidDeviceLink(HidApi& api, Clock& clock = SystemClock::Shared());
    // Closes everything and shuts the transport down.
    ~HidDeviceLink();
    HidDeviceLink(const HidDeviceLink&) = delete;
    HidDeviceLink& operator=(const HidDeviceLink&) = delete;

    // Where every report in and out is logged; nullptr for none. Set before the worker
    // starts.
    void SetWireLog(WireLogSink* sink);

    // Supported identities (from the catalogue).
    void ClearSupportedDevices();
    void AddSupportedDevice(const SupportedIdentity& identity);
    bool IsSupported(std::uint16_t vendor_id, std::uint16_t product_id) const;
    int GetLinkKind(std::uint16_t vendor_id, std::uint16_t product_id) const;
    // The first identity with both ids decides: 101 when its model code is shorter than
    // four characters, its device type when the code matches exactly, else the next
    // identity is tried. 0 when none answers.
    int GetDeviceType(std::uint16_t vendor_id, std::uint16_t product_id,
                      const std::u16string& model_code) const;

    // Opens every supported configuration interface and identifies it (one query, and
    // one more after 500 ms when the first fails). The caller closes everything first and
    // marks the link open afterwards. Returns the notifications the queries met.
    std::vector<ReportFrame> EnumerateDevice();
    void SetOpen(bool open);
    bool IsOpen() const;
    // Closes every interface, empties the list and drops the current interface.
    void CloseAll();

    // Selection.
    void SelectDeviceType(int device_type);
    int SelectedDeviceType() const;
    // The cached current handle, else the first cable interface of the selected model,
    // else its first receiver interface when that one is online; None otherwise.
    HidHandle CurrentInterface();
    // 0 when the selected model has a cable interface, 1 a receiver one, -1 none.
    int GetSelectedKind() const;
    bool GetCurrentIds(std::uint16_t& vendor_id, std::uint16_t& product_id);
    bool IsDeviceAvailable(int device_type) const;
    // Appends copies of the selected model's interfaces (all when none is selected);
    // false when no interface is open.
    bool GetInterfaces(std::vector<HidInterface>& out) const;
    bool GetReleaseNumber(int& number, int link_kind) const;
    void SetOnlineState(int device_type, int link_kind, int state);

    // Stores the checksum, writes the first `size` bytes to the current interface and
    // waits for an acknowledgement (a report whose status byte is 0); the reply then
    // lies over the first `size` bytes of `frame`. Fails at once when the link is closed
    // or there is no current interface; a failed write leaves `frame` unchanged.
    ExchangeResult SendCommand(ReportFrame& frame, FrameSize size);

    // Command 0x10 on interface `index`, the reply left in `frame` (and kept with the
    // interface). Without an index: copies the current interface's kept record and sends
    // nothing (false when there is no current interface).
    ExchangeResult QueryDeviceInfo(ReportFrame& frame, std::optional<int> index);

    // One unsolicited report: from the current interface (100 ms), else from the first
    // receiver interface that delivers (100 ms shared among the receivers), applying a receiver's
    // 0xC0 report to its interface (online: re-identify; else offline). `device_type` is the model
    // the report belongs to. The caller judges the buffer, not the result.
    bool ReadNotification(ReportFrame& buffer, int& device_type);
    // Reads each receiver interface of the selected model once and takes over the
    // connection state its 0xC0 report gives.
    void PollReceivers();
    // Whether ReadNotification has anything to wait on (a current interface or a
    // receiver); when not, it returns at once.
    bool CanReadNotification();

    // Every notification an exchange or an enumeration met is also kept here, in
    // arrival order, until the worker takes them (after each task) and handles them.
    std::vector<ReportFrame> TakeKeptNotifications();

    // Firmware upgrade channel.
    HidHandle OpenUpgradeInterface(std::uint16_t vendor_id, std::uint16_t product_id);
    void SetUpgradeInterface(HidHandle handle);
    void CloseUpgradeInterface();
    bool SendUpgradeReport(std::span<const std::uint8_t> report);

  private:
    struct Target {
        HidHandle handle = HidHandle::None;
        int index = -1;
    };

    int Write(const Target& target, const std::uint8_t* data, std::size_t length);
    int Read(const Target& target, std::uint8_t* data, std::size_t length, int timeout_ms);
    enum class Outcome { WriteFailed, NotAcknowledged, Acknowledged };

    // Writes `size` bytes of `request` and reads until an acknowledgement. `reply` starts
    // as a copy of the request and then holds the last report read that was not a
    // notification; notifications go to `notifications`.
    Outcome Exchange(const Target& target, const std::uint8_t* request, std::uint8_t* reply,
                     std::size_t size, std::vector<ReportFrame>& notifications);
    bool QueryInfoOn(const Target& target, ReportFrame& frame,
                     std::vector<ReportFrame>& notifications);
    // One query and, when it fails, a second after 500 ms.
    bool QueryInfoWithRetry(const Target& target, ReportFrame& frame,
                            std::vector<ReportFrame>& notifications);
    HidHandle CurrentInterfaceLocked();
    Target CurrentTargetLocked();
    int GetDeviceTypeLocked(std::uint16_t vendor_id, std::uint16_t product_id,
                            const std::u16string& model_code) const;
    int GetLinkKindLocked(std::uint16_t vendor_id, std::uint16_t product_id) const;
    void SetOnlineStateLocked(int device_type, int link_kind, int state);
    void Keep(const std::vector<ReportFrame>& notifications);
    HidInterface* FindLocked(int index, HidHandle handle);

    HidApi& api_;
    Clock& clock_;
    bool initialised_ = false;
    WireLogSink* wire_log_ = nullptr;

    mutable std::mutex mutex_;
    bool open_ = false;
    std::vector<HidInterface> interfaces_;
    std::vector<SupportedIdentity> supported_;
    int selected_device_type_ = 0;
    int current_index_ = -1;  // into interfaces_, -1 when not chosen
    HidHandle upgrade_ = HidHandle::None;
    std::vector<ReportFrame> kept_;
};

}  // namespace quillora
