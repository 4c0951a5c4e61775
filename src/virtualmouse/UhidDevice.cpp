#include "virtualmouse/UhidDevice.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/Trace.h"

namespace quillora::virtualmouse {
namespace {

void CopyText(std::uint8_t* to, std::size_t capacity, const std::string& text) {
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(to, text.data(), n);
    to[n] = 0;
}

}  // namespace

UhidDevice::~UhidDevice() {
    Destroy();
}

bool UhidDevice::Create(const std::string& uhidPath, const UhidDeviceIdentity& identity) {
    Destroy();
    if (identity.descriptor.empty() || identity.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        errno = EINVAL;
        return false;
    }
    fd_ = ::open(uhidPath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return false;
    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& req = event.u.create2;
    CopyText(req.name, sizeof req.name, identity.name);
    CopyText(req.phys, sizeof req.phys, identity.phys);
    CopyText(req.uniq, sizeof req.uniq, identity.uniq);
    req.rd_size = static_cast<__u16>(identity.descriptor.size());
    req.bus = identity.bus;
    req.vendor = identity.vendorId;
    req.product = identity.productId;
    req.version = identity.version;
    req.country = 0;
    std::memcpy(req.rd_data, identity.descriptor.data(), identity.descriptor.size());
    if (!WriteEvent(&event, sizeof event)) {
        const int saved = errno;
        ::close(fd_);
        fd_ = -1;
        errno = saved;
        return false;
    }
    started_ = false;
    openCount_ = 0;
    Trace(TraceLevel::Info, "uhid: created %s (%04X:%04X)", identity.name.c_str(),
          identity.vendorId, identity.productId);
    return true;
}

void UhidDevice::Destroy() {
    if (fd_ < 0)
        return;
    uhid_event event{};
    event.type = UHID_DESTROY;
    if (!WriteEvent(&event, sizeof event))
        Trace(TraceLevel::Warning, "uhid: destroy failed (%s); closing", std::strerror(errno));
    ::close(fd_);
    fd_ = -1;
    started_ = false;
    openCount_ = 0;
}

bool UhidDevice::SendInput(std::span<const std::uint8_t> report) {
    if (fd_ < 0 || report.size() > UHID_DATA_MAX)
        return false;
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<__u16>(report.size());
    std::copy(report.begin(), report.end(), event.u.input2.data);
    return WriteEvent(&event, sizeof event);
}

std::optional<UhidEvent> UhidDevice::ReadEvent() {
    if (fd_ < 0)
        return std::nullopt;
    uhid_event event{};
    ssize_t n;
    do {
        n = ::read(fd_, &event, sizeof event);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return std::nullopt;
    UhidEvent out;
    switch (event.type) {
        case UHID_START:
            started_ = true;
            out.kind = UhidEvent::Kind::Start;
            break;
        case UHID_STOP:
            started_ = false;
            out.kind = UhidEvent::Kind::Stop;
            break;
        case UHID_OPEN:
            ++openCount_;
            out.kind = UhidEvent::Kind::Open;
            break;
        case UHID_CLOSE:
            openCount_ = std::max(0, openCount_ - 1);
            out.kind = UhidEvent::Kind::Close;
            break;
        case UHID_OUTPUT: {
            const std::size_t size = std::min<std::size_t>(event.u.output.size, UHID_DATA_MAX);
            out.kind = UhidEvent::Kind::Output;
            out.data.assign(event.u.output.data, event.u.output.data + size);
            break;
        }
        case UHID_GET_REPORT: {
            // The kernel waits for an answer to every request; refuse it at once.
            const __u32 id = event.u.get_report.id;
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = id;
            reply.u.get_report_reply.err = EIO;
            WriteEvent(&reply, sizeof reply);
            break;
        }
        case UHID_SET_REPORT: {
            const __u32 id = event.u.set_report.id;
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = id;
            reply.u.set_report_reply.err = EIO;
            WriteEvent(&reply, sizeof reply);
            break;
        }
        default:
            break;
    }
    return out;
}

bool UhidDevice::WriteEvent(const void* event, std::size_t size) {
    ssize_t n;
    do {
        n = ::write(fd_, event, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return false;
    if (static_cast<std::size_t>(n) != size) {
        errno = EIO;
        return false;
    }
    return true;
}

}  // namespace quillora::virtualmouse
