#pragma once

// Serves one virtual mouse (cable) or receiver: creates its uhid devices, hands
// every output report of the configuration and upgrade collections to the firmware and
// sends back what it answers, and injects the mouse's own reports (connection, DPI
// button) on command. Single-threaded: Run() polls the devices, a signalfd and an
// optional control FIFO.

#include <array>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "device/UdevHotPlugMonitor.h"
#include "virtualmouse/Collections.h"
#include "virtualmouse/ReportRecord.h"
#include "virtualmouse/UhidDevice.h"
#include "virtualmouse/VirtualFirmware.h"
#include "virtualmouse/VirtualMouseOptions.h"

namespace quillora::virtualmouse {

// The input report that carries `reply` on a collection: its report ID in front when it
// has one, the data cut or zero-filled to the collection's input length.
std::vector<std::uint8_t> FrameInputReport(const CollectionLayout& layout,
                                           std::span<const std::uint8_t> reply);

class VirtualMouseServer {
  public:
    VirtualMouseServer(const VirtualMouseOptions& options, VirtualFirmware& firmware,
                       ReportRecord& record);

    // Creates the devices (after starting to watch for their hidraw nodes when a ready
    // path is given, so no arrival is missed). False (and nothing left behind) when one cannot be
    // made; Error() then says why.
    bool Start();
    // Destroys the devices; the kernel removes their hidraw nodes.
    void Stop();
    const std::string& Error() const { return error_; }

    // Serves until a stop signal or a "quit" command. `signalFd` is a signalfd for
    // SIGTERM, SIGINT, SIGHUP, SIGUSR1 and SIGUSR2; `controlFd` a FIFO opened for
    // reading, or -1. Returns false when a device failed.
    bool Run(int signalFd, int controlFd);

    void Command(ControlCommand command);

  private:
    struct Served {
        const CollectionLayout* layout = nullptr;
        UhidDevice device;
    };

    std::span<Served> Active() { return std::span(served_).first(servedCount_); }
    Served& Configuration();
    void HandleDeviceEvent(Served& served);
    void SendInput(Served& served, std::span<const std::uint8_t> data);
    void ReadControl(int controlFd);
    void WatchNodes();
    void WriteReady();

    VirtualMouseOptions options_;
    VirtualFirmware& firmware_;
    ReportRecord& record_;
    std::array<Served, 3> served_;
    std::size_t servedCount_ = 0;
    bool connected_ = true;
    bool stop_ = false;
    std::string controlLine_;
    // With --ready: the hidraw nodes of our ids seen so far, until all have appeared.
    quillora::UdevHotPlugMonitor nodeMonitor_;
    std::set<std::string> nodes_;
    std::string error_;
};

}  // namespace quillora::virtualmouse
