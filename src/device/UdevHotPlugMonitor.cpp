#include "device/UdevHotPlugMonitor.h"

#include <libudev.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "app/Trace.h"
#include "device/DevicePathIds.h"

namespace quillora {
namespace {

bool UdevDaemonRunning() {
    struct stat st {};
    return ::stat("/run/udev/control", &st) == 0;
}

}  // namespace

UdevHotPlugMonitor::~UdevHotPlugMonitor() {
    Close();
}

bool UdevHotPlugMonitor::Open() {
    if (monitor_ != nullptr)
        return true;
    udev_ = udev_new();
    if (udev_ == nullptr)
        return false;
    source_ = UdevDaemonRunning() ? "udev" : "kernel";
    monitor_ = udev_monitor_new_from_netlink(udev_, source_);
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        Trace(TraceLevel::Warning, "hot-plug: no %s monitor", source_);
        Close();
        return false;
    }
    Trace(TraceLevel::Info, "hot-plug: listening to %s events", source_);
    return true;
}

void UdevHotPlugMonitor::Close() {
    if (monitor_ != nullptr)
        udev_monitor_unref(monitor_);
    if (udev_ != nullptr)
        udev_unref(udev_);
    monitor_ = nullptr;
    udev_ = nullptr;
    source_ = "none";
}

int UdevHotPlugMonitor::Fd() const {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

std::optional<HotPlugEvent> UdevHotPlugMonitor::ReadEvent() {
    if (monitor_ == nullptr)
        return std::nullopt;
    for (;;) {
        struct udev_device* device = udev_monitor_receive_device(monitor_);
        if (device == nullptr)
            return std::nullopt;  // nothing pending
        const char* action = udev_device_get_action(device);
        const char* devpath = udev_device_get_devpath(device);
        const char* devnode = udev_device_get_devnode(device);
        const char* sysname = udev_device_get_sysname(device);
        HotPlugEvent event;
        bool wanted = false;
        if (action != nullptr && devpath != nullptr) {
            if (std::strcmp(action, "add") == 0) {
                event.action = HotPlugEvent::Action::Arrival;
                wanted = true;
            } else if (std::strcmp(action, "remove") == 0) {
                event.action = HotPlugEvent::Action::Removal;
                wanted = true;
            }
        }
        if (wanted) {
            const auto ids = ParseHidrawDevicePath(devpath);
            if (ids) {
                event.vendorId = ids->vendorId;
                event.productId = ids->productId;
                event.interfaceNumber = ids->interfaceNumber;
                // Kernel events carry no node name; hidraw nodes are /dev/<sysname>.
                if (devnode != nullptr) {
                    event.path = devnode;
                } else if (sysname != nullptr) {
                    event.path = std::string("/dev/") + sysname;
                }
                Trace(TraceLevel::Debug, "hot-plug: %s %s", action, devpath);
                udev_device_unref(device);
                return event;
            }
            Trace(TraceLevel::Debug, "hot-plug: no identity in %s", devpath);
        }
        udev_device_unref(device);
    }
}

}  // namespace quillora
