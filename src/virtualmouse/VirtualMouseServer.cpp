#include "virtualmouse/VirtualMouseServer.h"

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/Trace.h"

namespace quillora::virtualmouse {
namespace {

std::string IdText(std::uint16_t vendorId, std::uint16_t productId) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", vendorId, productId);
    return text;
}

}  // namespace

std::vector<std::uint8_t> FrameInputReport(const CollectionLayout& layout,
                                           std::span<const std::uint8_t> reply) {
    std::vector<std::uint8_t> report;
    report.reserve(layout.inputLength + 1);
    if (layout.reportId != 0)
        report.push_back(layout.reportId);
    const std::size_t n = std::min(reply.size(), layout.inputLength);
    report.insert(report.end(), reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(n));
    report.resize(layout.inputLength + (layout.reportId != 0 ? 1 : 0), 0);
    return report;
}

VirtualMouseServer::VirtualMouseServer(const VirtualMouseOptions& options,
                                       VirtualFirmware& firmware, ReportRecord& record)
    : options_(options), firmware_(firmware), record_(record) {
    const auto layouts = CollectionsOf(options.kind);
    servedCount_ = std::min(layouts.size(), served_.size());
    for (std::size_t i = 0; i < servedCount_; ++i)
        served_[i].layout = &layouts[i];
    connected_ = options.mouseOn;
}

VirtualMouseServer::Served& VirtualMouseServer::Configuration() {
    for (Served& s : Active()) {
        if (s.layout->channel == Channel::Configuration)
            return s;
    }
    return served_[0];
}

bool VirtualMouseServer::Start() {
    const bool receiver = options_.kind == DeviceKind::Receiver;
    const std::string ids = IdText(options_.vendorId, options_.productId);
    if (!options_.readyPath.empty() && !nodeMonitor_.Open()) {
        error_ = "cannot watch for the hidraw nodes (needed for --ready)";
        return false;
    }
    for (Served& s : Active()) {
        UhidDeviceIdentity identity;
        identity.name = std::string("Quillora virtual ") + (receiver ? "receiver" : "mouse") + " " +
                        std::string(s.layout->name);
        identity.phys = "quillora-virtual-mouse/" + ids + "/" + std::string(s.layout->name);
        identity.uniq = "QVM-" + ids;
        identity.bus = BUS_USB;
        identity.vendorId = options_.vendorId;
        identity.productId = options_.productId;
        identity.version = options_.release;
        identity.descriptor = s.layout->descriptor;
        if (!s.device.Create(options_.uhidPath, identity)) {
            error_ = "cannot create the " + std::string(s.layout->name) + " device through " +
                     options_.uhidPath + ": " + std::strerror(errno);
            Stop();
            return false;
        }
    }
    return true;
}

void VirtualMouseServer::Stop() {
    for (Served& s : Active()) {
        if (s.device.IsCreated()) {
            s.device.Destroy();
            record_.Event(s.layout->name, "destroyed");
        }
    }
}

bool VirtualMouseServer::Run(int signalFd, int controlFd) {
    stop_ = false;
    while (!stop_) {
        // The devices first, then the signals, the control FIFO and the node watch;
        // poll skips the negative descriptors of the ones not in use.
        std::array<pollfd, 6> fds{};
        const std::size_t devices = servedCount_;
        std::size_t count = 0;
        for (Served& s : Active())
            fds[count++] = {s.device.Fd(), POLLIN, 0};
        const std::size_t signalAt = count;
        fds[count++] = {signalFd, POLLIN, 0};
        const std::size_t controlAt = count;
        fds[count++] = {controlFd, POLLIN, 0};
        const std::size_t watchAt = count;
        fds[count++] = {nodeMonitor_.Fd(), POLLIN, 0};
        if (::poll(fds.data(), count, -1) < 0) {
            if (errno == EINTR)
                continue;
            error_ = std::string("poll: ") + std::strerror(errno);
            return false;
        }
        for (std::size_t i = 0; i < devices; ++i) {
            if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                error_ = "the " + std::string(served_[i].layout->name) + " device failed";
                return false;
            }
            if (fds[i].revents & POLLIN)
                HandleDeviceEvent(served_[i]);
        }
        if (fds[signalAt].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                switch (info.ssi_signo) {
                    case SIGUSR1:
                        Command(ControlCommand::MouseOn);
                        break;
                    case SIGUSR2:
                        Command(ControlCommand::MouseOff);
                        break;
                    default:
                        stop_ = true;
                        break;
                }
            }
        }
        if (controlFd >= 0 && (fds[controlAt].revents & POLLIN))
            ReadControl(controlFd);
        if (fds[watchAt].revents & POLLIN)
            WatchNodes();
    }
    return true;
}

void VirtualMouseServer::Command(ControlCommand command) {
    const bool receiver = options_.kind == DeviceKind::Receiver;
    switch (command) {
        case ControlCommand::MouseOn:
        case ControlCommand::MouseOff: {
            const bool on = command == ControlCommand::MouseOn;
            if (!receiver) {
                record_.Control(on ? "on ignored: a cable has no connection reports"
                                   : "off ignored: a cable has no connection reports");
                return;
            }
            record_.Control(on ? "on" : "off");
            connected_ = on;
            const auto report = firmware_.ConnectionReport(on);
            SendInput(Configuration(), report);
            return;
        }
        case ControlCommand::DpiButton:
            if (receiver && !connected_) {
                record_.Control("dpi ignored: the mouse is off");
                return;
            }
            record_.Control("dpi");
            SendInput(Configuration(), firmware_.PressDpiButton());
            return;
        case ControlCommand::Quit:
            record_.Control("quit");
            stop_ = true;
            return;
    }
}

void VirtualMouseServer::HandleDeviceEvent(Served& served) {
    // Drain everything pending: one poll wake-up can stand for several events.
    while (auto event = served.device.ReadEvent()) {
        const std::string_view name = served.layout->name;
        switch (event->kind) {
            case UhidEvent::Kind::Start:
                record_.Event(name, "start");
                break;
            case UhidEvent::Kind::Stop:
                record_.Event(name, "stop");
                break;
            case UhidEvent::Kind::Open:
                record_.Event(name, "open");
                break;
            case UhidEvent::Kind::Close:
                record_.Event(name, "close");
                break;
            case UhidEvent::Kind::Output: {
                record_.Report("out", name, event->data);
                if (served.layout->channel == Channel::Pointer)
                    break;  // a boot mouse has no outputs worth answering
                if (auto reply = firmware_.Handle(event->data))
                    SendInput(served, *reply);
                break;
            }
            case UhidEvent::Kind::Other:
                break;
        }
    }
}

void VirtualMouseServer::SendInput(Served& served, std::span<const std::uint8_t> data) {
    const auto report = FrameInputReport(*served.layout, data);
    record_.Report("in", served.layout->name, report);
    if (!served.device.SendInput(report))
        Trace(TraceLevel::Warning, "uhid: input on %s refused (%s)",
              std::string(served.layout->name).c_str(), std::strerror(errno));
}

void VirtualMouseServer::WatchNodes() {
    while (auto event = nodeMonitor_.ReadEvent()) {
        if (event->action == HotPlugEvent::Action::Arrival &&
            event->vendorId == options_.vendorId && event->productId == options_.productId)
            nodes_.insert(event->path);
    }
    if (nodes_.size() >= servedCount_) {
        nodeMonitor_.Close();
        WriteReady();
    }
}

void VirtualMouseServer::WriteReady() {
    std::string line = "ready";
    for (const auto& node : nodes_)
        line += " " + node;
    line += "\n";
    // Blocking open: a FIFO given as ready path is written once its reader has it open.
    const int fd =
        ::open(options_.readyPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        Trace(TraceLevel::Warning, "virtual mouse: cannot write %s (%s)",
              options_.readyPath.c_str(), std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    record_.Control(line.substr(0, line.size() - 1));
}

void VirtualMouseServer::ReadControl(int controlFd) {
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(controlFd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        controlLine_.append(buffer, static_cast<std::size_t>(n));
    }
    std::size_t end;
    while ((end = controlLine_.find('\n')) != std::string::npos) {
        const std::string line = controlLine_.substr(0, end);
        controlLine_.erase(0, end + 1);
        if (auto command = ParseControlCommand(line)) {
            Command(*command);
        } else if (!line.empty()) {
            record_.Control("unknown command: " + line);
        }
    }
    if (controlLine_.size() > 4096)
        controlLine_.clear();  // a writer that never ends a line
}

}  // namespace quillora::virtualmouse
