#include "virtualmouse/VirtualMouseMain.h"

#include <fcntl.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "virtualmouse/ReportRecord.h"
#include "virtualmouse/VirtualMouseOptions.h"
#include "virtualmouse/VirtualMouseServer.h"

namespace quillora::virtualmouse {
namespace {

// The control FIFO, made when missing and removed again only if this run made it.
// Opened read-write so that writers coming and going never give us end-of-file.
class ControlFifo {
  public:
    ~ControlFifo() {
        if (fd_ >= 0)
            ::close(fd_);
        if (made_)
            ::unlink(path_.c_str());
    }
    bool Open(const std::string& path) {
        path_ = path;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            if (::mkfifo(path.c_str(), 0600) != 0)
                return false;
            made_ = true;
        } else if (!S_ISFIFO(st.st_mode)) {
            errno = EEXIST;
            return false;
        }
        fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        return fd_ >= 0;
    }
    int Fd() const { return fd_; }

  private:
    std::string path_;
    int fd_ = -1;
    bool made_ = false;
};

}  // namespace

int RunVirtualMouse(int argc, char** argv, FirmwareFactory makeFirmware) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseVirtualMouseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "quillora-virtual-mouse: %s\n%s", parsed.error.c_str(),
                     VirtualMouseUsage());
        return 2;
    }
    const VirtualMouseOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(VirtualMouseUsage(), stdout);
        return 0;
    }

    // Signals arrive through a descriptor so the single loop sees them in order with
    // the device events; blocked first, so none is lost before the loop runs.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2})
        sigaddset(&signals, s);
    if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) {
        std::perror("quillora-virtual-mouse: sigprocmask");
        return 1;
    }
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0) {
        std::perror("quillora-virtual-mouse: signalfd");
        return 1;
    }
    std::signal(SIGPIPE, SIG_IGN);

    ControlFifo control;
    if (!options.controlPath.empty() && !control.Open(options.controlPath)) {
        std::fprintf(stderr, "quillora-virtual-mouse: cannot open the control FIFO %s: %s\n",
                     options.controlPath.c_str(), std::strerror(errno));
        ::close(signalFd);
        return 1;
    }
    ReportRecord record;
    if (!options.recordPath.empty() && !record.Open(options.recordPath)) {
        std::fprintf(stderr, "quillora-virtual-mouse: cannot write the record %s: %s\n",
                     options.recordPath.c_str(), std::strerror(errno));
        ::close(signalFd);
        return 1;
    }

    FirmwareOptions firmwareOptions;
    firmwareOptions.kind = options.kind;
    firmwareOptions.vendorId = options.vendorId;
    firmwareOptions.productId = options.productId;
    firmwareOptions.statePath = options.statePath;
    firmwareOptions.mouseOn = options.mouseOn;
    std::unique_ptr<VirtualFirmware> firmware = makeFirmware(firmwareOptions);
    if (!firmware) {
        std::fprintf(stderr, "quillora-virtual-mouse: the mouse model could not start\n");
        ::close(signalFd);
        return 1;
    }

    VirtualMouseServer server(options, *firmware, record);
    if (!server.Start()) {
        std::fprintf(stderr,
                     "quillora-virtual-mouse: %s\n"
                     "(this needs write access to %s and the uhid module: "
                     "try 'sudo modprobe uhid' and running as root)\n",
                     server.Error().c_str(), options.uhidPath.c_str());
        ::close(signalFd);
        return 1;
    }
    std::fprintf(stderr, "quillora-virtual-mouse: serving a %s %04x:%04x until SIGTERM\n",
                 options.kind == DeviceKind::Cable ? "cabled mouse" : "receiver", options.vendorId,
                 options.productId);
    const bool served = server.Run(signalFd, control.Fd());
    server.Stop();
    const bool persisted = firmware->Persist();
    ::close(signalFd);
    if (!served) {
        std::fprintf(stderr, "quillora-virtual-mouse: %s\n", server.Error().c_str());
        return 1;
    }
    if (!persisted) {
        std::fprintf(stderr, "quillora-virtual-mouse: the mouse's settings were not saved\n");
        return 1;
    }
    return 0;
}

}  // namespace quillora::virtualmouse
