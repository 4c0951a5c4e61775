#pragma once

// Hot-plug events of hidraw nodes from libudev. With a udev daemon running, the
// monitor listens to udev's events (sent once the node is ready); without one (a
// container, an initramfs) it listens to the kernel's own events. The owner watches
// Fd() for readability (a socket notifier, poll) and calls ReadEvent() then.

#include <optional>

#include "device/HotPlugEvent.h"

struct udev;
struct udev_monitor;

namespace quillora {

class UdevHotPlugMonitor {
  public:
    UdevHotPlugMonitor() = default;
    ~UdevHotPlugMonitor();
    UdevHotPlugMonitor(const UdevHotPlugMonitor&) = delete;
    UdevHotPlugMonitor& operator=(const UdevHotPlugMonitor&) = delete;

    // Starts listening. False when libudev cannot make a monitor.
    bool Open();
    void Close();
    bool IsOpen() const { return monitor_ != nullptr; }
    // Which source was chosen: "udev" or "kernel".
    const char* Source() const { return source_; }

    // The monitor's socket, -1 while closed. Non-blocking.
    int Fd() const;

    // The next pending hidraw arrival or removal, if any. Events of other kinds, and
    // hidraw events whose identity cannot be read, are consumed and skipped.
    std::optional<HotPlugEvent> ReadEvent();

  private:
    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
    const char* source_ = "none";
};

}  // namespace quillora
