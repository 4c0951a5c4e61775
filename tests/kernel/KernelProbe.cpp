// quillora-kernel-probe: runs inside the test guest. It starts a virtual mouse program,
// watches its hidraw nodes appear through the hot-plug monitor, finds its collections
// with hidapi-hidraw, exchanges reports through the kernel, switches the receiver's
// mouse off and on, stops the program, watches the nodes go away, and finally compares
// what it sent with the virtual mouse's own record of what arrived.
//
// The raw transport does by hand what the program's hidraw backend must do: a write
// carries the report ID byte first and is padded to the output report length taken
// from the report descriptor, a read asks for the whole 64-byte report, and discovery
// filters by usage page and usage. --fault breaks one of these on purpose, so the
// suite can show that each check catches the fault it is there for. Where the build
// has the program's HidapiBackend, --transport backend sends the same unpadded frames
// through it instead, and the same checks judge what it delivers.
//
// Every failed check prints "FAIL[<area>] ..."; exit 0 all passed, 1 a check failed,
// 2 the probe could not run (usage, fork).

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "EchoFirmware.h"
#include "device/ReportDescriptor.h"
#include "device/UdevHotPlugMonitor.h"
#ifdef QUILLORA_PROBE_BACKEND
#include "device/HidapiBackend.h"
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

enum class Fault { None, NoReportId, NoPad, ShortRead, ZeroBeforeRead, NoUsageFilter };

struct ProbeOptions {
    std::string mouseProgram;
    std::string kind = "cable";
    std::uint16_t vendorId = 0x1209;
    std::uint16_t productId = 0x0001;
    int exchanges = 1000;
    Fault fault = Fault::None;
    std::string workDir = "/tmp";
    bool viaBackend = false;  // exchanges through the program's HidapiBackend
};

constexpr std::uint16_t kRelease = 0x0105;
constexpr int kReplyTimeoutMs = 20000;  // bounds a hang; replies come within milliseconds
constexpr int kHotPlugTimeoutMs = 60000;

int failures = 0;

void Fail(const char* area, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Fail(const char* area, const char* format, ...) {
    ++failures;
    std::printf("FAIL[%s] ", area);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

std::string Hex(const Bytes& bytes, std::size_t max = 16) {
    std::string out;
    char b[4];
    for (std::size_t i = 0; i < bytes.size() && i < max; ++i) {
        std::snprintf(b, sizeof b, "%02X ", bytes[i]);
        out += b;
    }
    if (bytes.size() > max)
        out += "...";
    return out;
}

// Accepted as configuration interfaces, as the program's discovery accepts them.
bool IsConfigurationUsage(std::uint16_t page, std::uint16_t usage) {
    return (page == 0xFF01 && usage == 0x10) || (page == 0x0001 && usage == 0x0000);
}
bool IsUpgradeUsage(std::uint16_t page, std::uint16_t usage) {
    return page == 0xFFEF && usage == 0;
}

std::optional<Bytes> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The report descriptor of a hidraw node, from sysfs.
std::optional<Bytes> ReportDescriptorOf(const std::string& devnode) {
    const auto slash = devnode.rfind('/');
    const std::string name = devnode.substr(slash == std::string::npos ? 0 : slash + 1);
    return ReadFileBytes("/sys/class/hidraw/" + name + "/device/report_descriptor");
}

// The bus number of a hidraw node, from its HID device's HID_ID ("0003:00001209:...").
int BusOf(const std::string& devnode) {
    const auto slash = devnode.rfind('/');
    const std::string name = devnode.substr(slash == std::string::npos ? 0 : slash + 1);
    std::ifstream in("/sys/class/hidraw/" + name + "/device/uevent");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("HID_ID=", 0) == 0)
            return static_cast<int>(std::strtol(line.c_str() + 7, nullptr, 16));
    }
    return -1;
}

// What the device must receive for `report` (report ID first): the report padded to
// the ID byte plus the output report length.
Bytes Delivered(const Bytes& report, std::size_t outputLength) {
    Bytes wire = report;
    if (wire.size() < outputLength + 1)
        wire.resize(outputLength + 1, 0);
    return wire;
}

// One opened collection. Write() takes a report with its ID first, as the program's
// frames are; Read() asks for one 64-byte input report (unnumbered: data only;
// numbered: with the ID).
class Transport {
  public:
    virtual ~Transport() = default;
    virtual int Write(const Bytes& report) = 0;
    virtual int Read(Bytes& into, int timeoutMs) = 0;
    virtual std::wstring ProductString() = 0;
};

// hidapi directly, doing by hand what the backend must do, or breaking one rule of it.
class RawTransport final : public Transport {
  public:
    RawTransport(hid_device* handle, std::size_t outputLength, Fault fault)
        : handle_(handle), outputLength_(outputLength), fault_(fault) {}
    ~RawTransport() override { hid_close(handle_); }
    RawTransport(const RawTransport&) = delete;
    RawTransport& operator=(const RawTransport&) = delete;

    int Write(const Bytes& report) override {
        Bytes wire = fault_ == Fault::NoPad ? report : Delivered(report, outputLength_);
        if (fault_ == Fault::NoReportId)
            wire.erase(wire.begin());
        return hid_write(handle_, wire.data(), wire.size());
    }
    int Read(Bytes& into, int timeoutMs) override {
        into.assign(64, 0);
        const std::size_t ask = fault_ == Fault::ShortRead ? 63 : 64;
        const int n = hid_read_timeout(handle_, into.data(), ask, timeoutMs);
        into.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        if (fault_ == Fault::ZeroBeforeRead && n > 0) {
            // A backend that gives reads a report ID byte, as writes have one.
            into.insert(into.begin(), 0);
            return n + 1;
        }
        return n;
    }
    std::wstring ProductString() override {
        wchar_t product[512] = {};
        if (hid_get_product_string(handle_, product, 512) != 0)
            return {};
        return product;
    }

  private:
    hid_device* handle_;
    std::size_t outputLength_;
    Fault fault_;
};

#ifdef QUILLORA_PROBE_BACKEND
// The program's own hidraw backend, unpadded frames and all: what reaches the device
// is what the backend makes of them.
class BackendTransport final : public Transport {
  public:
    BackendTransport(quillora::HidApi& backend, quillora::HidHandle handle)
        : backend_(backend), handle_(handle) {}
    ~BackendTransport() override { backend_.Close(handle_); }
    BackendTransport(const BackendTransport&) = delete;
    BackendTransport& operator=(const BackendTransport&) = delete;

    int Write(const Bytes& report) override {
        return backend_.Write(handle_, report.data(), report.size());
    }
    int Read(Bytes& into, int timeoutMs) override {
        into.assign(64, 0);
        const int n = backend_.ReadTimeout(handle_, into.data(), into.size(), timeoutMs);
        into.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return n;
    }
    std::wstring ProductString() override {
        std::u16string product;
        if (backend_.GetProductString(handle_, product, 512) != 0)
            return {};
        return std::wstring(product.begin(), product.end());
    }

  private:
    quillora::HidApi& backend_;
    quillora::HidHandle handle_;
};

quillora::HidapiBackend backend;
#endif

std::unique_ptr<Transport> OpenTransport(const std::string& path, std::size_t outputLength,
                                         bool viaBackend, Fault fault) {
#ifdef QUILLORA_PROBE_BACKEND
    if (viaBackend) {
        const quillora::HidHandle handle = backend.OpenPath(path);
        if (handle == quillora::HidHandle::None)
            return nullptr;
        return std::make_unique<BackendTransport>(backend, handle);
    }
#else
    (void)viaBackend;
#endif
    hid_device* handle = hid_open_path(path.c_str());
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<RawTransport>(handle, outputLength, fault);
}

struct Interface {
    std::string path;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

class Child {
  public:
    bool Spawn(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            execv(args[0], args.data());
            std::perror("exec");
            _exit(127);
        }
        return pid_ > 0;
    }
    bool Alive() {
        if (pid_ <= 0 || exited_)
            return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            status_ = status;
            return false;
        }
        return true;
    }
    void Signal(int sig) {
        if (Alive())
            kill(pid_, sig);
    }
    // Waits for the exit; the status as waitpid gives it.
    int Wait() {
        if (!exited_ && pid_ > 0) {
            int status = 0;
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            exited_ = true;
            status_ = status;
        }
        return status_;
    }
    ~Child() {
        if (Alive()) {
            kill(pid_, SIGKILL);
            Wait();
        }
    }

  private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
};

// Collects hot-plug events of our ids until `want` of `action` arrived or time runs out.
std::set<std::string> AwaitHotPlug(quillora::UdevHotPlugMonitor& monitor,
                                   quillora::HotPlugEvent::Action action, std::size_t want,
                                   const ProbeOptions& o, Child* child) {
    std::set<std::string> paths;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kHotPlugTimeoutMs);
    while (paths.size() < want && Clock::now() < deadline) {
        pollfd fd{monitor.Fd(), POLLIN, 0};
        poll(&fd, 1, 200);
        while (auto event = monitor.ReadEvent()) {
            if (event->action == action && event->vendorId == o.vendorId &&
                event->productId == o.productId)
                paths.insert(event->path);
        }
        if (child != nullptr && !child->Alive())
            break;
    }
    return paths;
}

bool SendControl(const std::string& fifo, const char* line) {
    const int fd = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t n = write(fd, line, std::strlen(line));
    close(fd);
    return n == static_cast<ssize_t>(std::strlen(line));
}

struct RecordLine {
    std::string direction, channel;
    Bytes bytes;
};

std::vector<RecordLine> ReadRecord(const std::string& path, std::vector<std::string>& other) {
    std::vector<RecordLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream s(text);
        RecordLine line;
        s >> line.direction >> line.channel;
        if (line.direction != "out" && line.direction != "in") {
            other.push_back(text);
            continue;
        }
        std::size_t length = 0;
        s >> length;
        std::string hex;
        while (s >> hex)
            line.bytes.push_back(static_cast<std::uint8_t>(std::strtoul(hex.c_str(), nullptr, 16)));
        if (line.bytes.size() != length)
            Fail("record", "line length %zu with %zu bytes: %s", length, line.bytes.size(),
                 text.c_str());
        lines.push_back(std::move(line));
    }
    return lines;
}

bool Contains(const std::vector<std::string>& lines, std::string_view text) {
    for (const auto& l : lines)
        if (l == text)
            return true;
    return false;
}

bool ParseOptions(int argc, char** argv, ProbeOptions& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--mouse") {
            o.mouseProgram = value;
        } else if (key == "--kind" && (value == "cable" || value == "receiver")) {
            o.kind = value;
        } else if (key == "--vid") {
            o.vendorId = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 16));
        } else if (key == "--pid") {
            o.productId = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 16));
        } else if (key == "--exchanges") {
            o.exchanges = std::atoi(value.c_str());
        } else if (key == "--transport" && (value == "raw" || value == "backend")) {
            o.viaBackend = value == "backend";
        } else if (key == "--work") {
            o.workDir = value;
        } else if (key == "--fault") {
            if (value == "none")
                o.fault = Fault::None;
            else if (value == "no-report-id")
                o.fault = Fault::NoReportId;
            else if (value == "no-pad")
                o.fault = Fault::NoPad;
            else if (value == "short-read")
                o.fault = Fault::ShortRead;
            else if (value == "zero-before-read")
                o.fault = Fault::ZeroBeforeRead;
            else if (value == "no-usage-filter")
                o.fault = Fault::NoUsageFilter;
            else
                return false;
        } else {
            return false;
        }
    }
#ifndef QUILLORA_PROBE_BACKEND
    if (o.viaBackend)
        return false;
#endif
    // The faults are the raw transport's; the backend is tested as it is.
    if (o.viaBackend && o.fault != Fault::None)
        return false;
    return argc % 2 == 1 && !o.mouseProgram.empty() && o.exchanges > 0;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--has-backend") {
        // Whether this build can exchange through the program's own backend.
#ifdef QUILLORA_PROBE_BACKEND
        return 0;
#else
        return 1;
#endif
    }
    ProbeOptions o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: quillora-kernel-probe --mouse PROGRAM [--kind cable|receiver] "
                     "[--vid HEX] [--pid HEX] [--exchanges N] [--work DIR] [--transport "
                     "raw|backend] [--fault "
                     "none|no-report-id|no-pad|short-read|zero-before-read|no-usage-filter]\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    // A cable has the pointer, configuration (FF01/0010) and upgrade collections; a
    // receiver the pointer and a configuration collection on 0001/0000.
    const bool receiver = o.kind == "receiver";
    const std::size_t nodes = receiver ? 2 : 3;
    const std::uint16_t configPage = receiver ? 0x0001 : 0xFF01;
    const std::uint16_t configUsage = receiver ? 0x0000 : 0x0010;
    const std::string record = o.workDir + "/record-" + o.kind + ".txt";
    const std::string fifo = o.workDir + "/control-" + o.kind;
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x", o.vendorId);
    const std::string vid = ids;
    std::snprintf(ids, sizeof ids, "%04x", o.productId);
    const std::string pid = ids;
    std::snprintf(ids, sizeof ids, "%04x", kRelease);
    const std::string release = ids;

    // The monitor listens before the devices exist, so no arrival can be missed.
    quillora::UdevHotPlugMonitor monitor;
    if (!monitor.Open()) {
        Fail("hotplug", "no hot-plug monitor");
        return 1;
    }
    std::printf("probe: hot-plug source %s\n", monitor.Source());

    Child child;
    const auto spawned = Clock::now();
    if (!child.Spawn({o.mouseProgram, o.kind, "--vid", vid, "--pid", pid, "--release", release,
                      "--record", record, "--control", fifo})) {
        std::perror("fork");
        return 2;
    }
    const auto arrived =
        AwaitHotPlug(monitor, quillora::HotPlugEvent::Action::Arrival, nodes, o, &child);
    if (arrived.size() != nodes) {
        Fail("hotplug", "%zu of %zu hidraw nodes arrived", arrived.size(), nodes);
        return 1;
    }
    std::printf("probe: %zu hidraw nodes arrived %.0f ms after start\n", nodes, MsSince(spawned));

    // Discovery with hidapi-hidraw.
    if (hid_init() != 0) {
        Fail("ids", "hid_init failed");
        return 1;
    }
    std::set<std::string> paths;
    std::vector<Interface> accepted;
    std::vector<Interface> upgrade;
    int pointers = 0;
    hid_device_info* all = hid_enumerate(o.vendorId, o.productId);
    for (hid_device_info* d = all; d != nullptr; d = d->next) {
        // hidapi lists a node once per collection usage (the pointer's physical
        // collection adds 0001/0001), so interfaces are counted by path.
        Interface i{d->path, d->usage_page, d->usage};
        paths.insert(d->path);
        std::printf("probe: %s %04x:%04x usage %04x/%04x release %04x bus %d \"%ls\"\n", d->path,
                    d->vendor_id, d->product_id, d->usage_page, d->usage, d->release_number,
                    static_cast<int>(d->bus_type), d->product_string ? d->product_string : L"");
        if (d->vendor_id != o.vendorId || d->product_id != o.productId)
            Fail("ids", "%s has ids %04x:%04x", d->path, d->vendor_id, d->product_id);
        // hidapi-hidraw takes bus type and release number from a USB parent, which a
        // uhid device lacks (it reports 0 for both); the kernel's own HID_ID says the bus.
        if (BusOf(d->path) != 0x0003)
            Fail("ids", "%s is not on the USB bus", d->path);
        if (d->product_string == nullptr || d->product_string[0] == 0)
            Fail("ids", "%s has no product string", d->path);
        if (arrived.count(d->path) == 0)
            Fail("hotplug", "%s was enumerated but never announced", d->path);
        if (o.fault == Fault::NoUsageFilter || IsConfigurationUsage(d->usage_page, d->usage))
            accepted.push_back(i);
        if (IsUpgradeUsage(d->usage_page, d->usage))
            upgrade.push_back(i);
        if (d->usage_page == 0x0001 && d->usage == 0x0002) {
            ++pointers;
            if (IsConfigurationUsage(d->usage_page, d->usage))
                Fail("usage", "the plain mouse collection passes the configuration filter");
        }
    }
    hid_free_enumeration(all);
    if (paths.size() != nodes)
        Fail("ids", "hidapi found %zu hidraw nodes, expected %zu", paths.size(), nodes);
    if (pointers != 1)
        Fail("usage", "%d plain mouse collections (1/2), expected 1", pointers);
    if (accepted.size() != 1 || accepted[0].usagePage != configPage ||
        accepted[0].usage != configUsage)
        Fail("usage", "the configuration filter accepted %zu interfaces, expected only %04x/%04x",
             accepted.size(), configPage, configUsage);
    if (upgrade.size() != (receiver ? 0u : 1u))
        Fail("usage", "%zu upgrade collections (FFEF/0000)", upgrade.size());

    std::vector<Bytes> configSent;  // as the device must receive them
    std::vector<Bytes> upgradeSent;
    if (failures == 0) {
        const Interface& config = accepted[0];
        const auto descriptor = ReportDescriptorOf(config.path);
        const auto top = descriptor ? quillora::TopLevelCollection(*descriptor) : std::nullopt;
        const auto outLength =
            descriptor ? quillora::OutputReportLength(*descriptor, 0) : std::nullopt;
        if (!top || top->usagePage != configPage || top->usage != configUsage)
            Fail("usage", "the report descriptor of %s does not name %04x/%04x",
                 config.path.c_str(), configPage, configUsage);
        if (!outLength || *outLength != 64)
            Fail("length", "output report length of %s: %zu, expected 64", config.path.c_str(),
                 outLength ? *outLength : 0);
        std::unique_ptr<Transport> link =
            failures == 0 ? OpenTransport(config.path, *outLength, o.viaBackend, o.fault) : nullptr;
        if (failures == 0 && !link) {
            Fail("ids", "cannot open %s", config.path.c_str());
        } else if (link) {
            const std::wstring product = link->ProductString();
            if (product.find(L"config") == std::wstring::npos)
                Fail("ids", "product string of the open interface: \"%ls\"", product.c_str());
        }
        if (failures == 0) {
            const auto start = Clock::now();
            int done = 0;
            for (int i = 0; i < o.exchanges && failures == 0; ++i) {
                // Every eighth command is a short frame (report ID + 32 bytes).
                const bool shortFrame = i % 8 == 7;
                Bytes frame(shortFrame ? 33 : 65, 0);
                frame[0] = 0;
                frame[1] = static_cast<std::uint8_t>(0x01 + i % 0x7E);
                frame[2] = 0;
                for (std::size_t k = 3; k < frame.size(); ++k)
                    frame[k] = static_cast<std::uint8_t>(i * 7 + k * 13);
                const int written = link->Write(frame);
                configSent.push_back(Delivered(frame, *outLength));
                if (written < 0) {
                    Fail("write", "exchange %d: hid_write failed", i);
                    break;
                }
                Bytes reply;
                const int n = link->Read(reply, kReplyTimeoutMs);
                if (n != 64) {
                    Fail("length", "exchange %d: read returned %d bytes, expected 64", i, n);
                    break;
                }
                const Bytes expected = Delivered(frame, *outLength);
                bool same = reply[0] == frame[1] && reply[1] == 0;
                for (std::size_t k = 2; same && k < 64; ++k)
                    same = reply[k] == expected[k + 1];
                if (!same) {
                    Fail("echo", "exchange %d: sent %s got %s", i, Hex(expected).c_str(),
                         Hex(reply).c_str());
                    break;
                }
                ++done;
            }
            const double ms = MsSince(start);
            std::printf("probe: %s: %d exchanges in %.0f ms: %.0f exchanges/s\n", o.kind.c_str(),
                        done, ms, ms > 0 ? done * 1000.0 / ms : 0.0);

            if (failures == 0) {
                // The mouse's own reports, injected through the control channel.
                Bytes report;
                if (!SendControl(fifo, "dpi\n"))
                    Fail("control", "cannot write %s", fifo.c_str());
                link->Read(report, kReplyTimeoutMs);
                if (report.size() != 64 ||
                    !std::equal(std::begin(quillora::kerneltest::kEchoDpiMarker),
                                std::end(quillora::kerneltest::kEchoDpiMarker), report.begin()))
                    Fail("control", "DPI button report: got %s", Hex(report).c_str());
                if (receiver) {
                    const std::uint8_t lo = quillora::kerneltest::kEchoBattery & 0xFF;
                    const std::uint8_t hi = quillora::kerneltest::kEchoBattery >> 8;
                    child.Signal(SIGUSR2);
                    link->Read(report, kReplyTimeoutMs);
                    if (report.size() != 64 || report[0] != 0xC0 || report[1] != 0 ||
                        report[2] != lo || report[3] != hi)
                        Fail("connection", "after SIGUSR2: got %s", Hex(report).c_str());
                    if (!SendControl(fifo, "on\n"))
                        Fail("control", "cannot write %s", fifo.c_str());
                    link->Read(report, kReplyTimeoutMs);
                    if (report.size() != 64 || report[0] != 0xC0 || report[1] != 1 ||
                        report[2] != lo || report[3] != hi)
                        Fail("connection", "after 'on': got %s", Hex(report).c_str());
                } else {
                    child.Signal(SIGUSR2);  // a cable ignores it; the record says so
                }
            }
        }

        if (failures == 0 && !receiver) {
            const Interface& up = upgrade[0];
            const auto upDescriptor = ReportDescriptorOf(up.path);
            const auto upLength =
                upDescriptor ? quillora::OutputReportLength(*upDescriptor, 0x05) : std::nullopt;
            if (!upLength || *upLength != 63)
                Fail("length", "upgrade output report 5 has %zu data bytes, expected 63",
                     upLength ? *upLength : 0);
            std::unique_ptr<Transport> upLink =
                failures == 0 ? OpenTransport(up.path, *upLength, o.viaBackend, o.fault) : nullptr;
            if (failures == 0 && !upLink)
                Fail("ids", "cannot open %s", up.path.c_str());
            if (failures == 0) {
                for (int i = 0; i < 16 && failures == 0; ++i) {
                    Bytes frame(64, 0);
                    frame[0] = 0x05;
                    frame[1] = static_cast<std::uint8_t>(0x40 + i);
                    for (std::size_t k = 3; k < frame.size(); ++k)
                        frame[k] = static_cast<std::uint8_t>(i + k * 5);
                    upLink->Write(frame);
                    upgradeSent.push_back(Delivered(frame, *upLength));
                    Bytes reply;
                    const int n = upLink->Read(reply, kReplyTimeoutMs);
                    bool same =
                        n == 64 && reply[0] == 0x05 && reply[1] == frame[1] && reply[2] == 0;
                    for (std::size_t k = 3; same && k < 64; ++k)
                        same = reply[k] == frame[k];
                    if (!same)
                        Fail(n == 64 ? "upgrade" : "length", "upgrade exchange %d: sent %s got %s",
                             i, Hex(frame).c_str(), Hex(reply).c_str());
                }
            }
        }
    }
    hid_exit();

    // A clean stop destroys the devices; their nodes must go away.
    child.Signal(SIGTERM);
    const int status = child.Wait();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail("exit", "the virtual mouse ended with status %d", status);
    const auto removed =
        AwaitHotPlug(monitor, quillora::HotPlugEvent::Action::Removal, nodes, o, nullptr);
    if (removed != arrived)
        Fail("hotplug", "%zu of the %zu nodes were reported removed", removed.size(), nodes);
    else
        std::printf("probe: %zu hidraw nodes removed\n", nodes);

    // The virtual mouse's record against what was sent.
    std::vector<std::string> events;
    const auto lines = ReadRecord(record, events);
    std::size_t configOut = 0;
    std::size_t upgradeOut = 0;
    for (const auto& line : lines) {
        if (line.direction != "out")
            continue;
        if (line.channel == "config") {
            if (configOut < configSent.size() && line.bytes != configSent[configOut])
                Fail("record", "config output %zu arrived as %zu bytes %s, sent %s", configOut,
                     line.bytes.size(), Hex(line.bytes).c_str(),
                     Hex(configSent[configOut]).c_str());
            ++configOut;
        } else if (line.channel == "upgrade") {
            if (upgradeOut < upgradeSent.size() && line.bytes != upgradeSent[upgradeOut])
                Fail("record", "upgrade output %zu arrived as %zu bytes %s", upgradeOut,
                     line.bytes.size(), Hex(line.bytes).c_str());
            ++upgradeOut;
        } else {
            Fail("record", "output on the %s collection", line.channel.c_str());
        }
    }
    if (configOut != configSent.size())
        Fail("record", "%zu config outputs recorded, %zu sent", configOut, configSent.size());
    if (upgradeOut != upgradeSent.size())
        Fail("record", "%zu upgrade outputs recorded, %zu sent", upgradeOut, upgradeSent.size());
    for (const char* expected : {"event config open", "event config close",
                                 "event config destroyed", "event pointer destroyed",
                                 receiver ? "event config destroyed" : "event upgrade destroyed"})
        if (!Contains(events, expected))
            Fail("record", "no '%s' line", expected);
    if (!configSent.empty() && failures == 0) {
        if (receiver && (!Contains(events, "control off") || !Contains(events, "control on")))
            Fail("record", "the receiver's off and on commands are not recorded");
        if (!receiver &&
            !Contains(events, "control off ignored: a cable has no connection reports"))
            Fail("record", "the cable did not ignore 'off'");
    }

    if (failures == 0)
        std::printf("probe: %s: all checks passed\n", o.kind.c_str());
    return failures == 0 ? 0 : 1;
}
