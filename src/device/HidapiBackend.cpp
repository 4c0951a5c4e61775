#include "device/HidapiBackend.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/Trace.h"
#include "device/ReportDescriptor.h"

namespace quillora {
namespace {

hid_device* Device(HidHandle handle) {
    return reinterpret_cast<hid_device*>(handle);
}

std::vector<std::uint8_t> DescriptorOf(const std::string& path) {
    const std::string file = ReportDescriptorPath(path);
    if (file.empty()) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

// The length of output report `id` with its ID byte; a descriptor that cannot be read
// gets the default for report 0 and no padding for numbered reports.
std::size_t WriteLengthOf(const std::vector<std::uint8_t>& descriptor, std::uint8_t id) {
    if (auto bytes = OutputReportLength(descriptor, id)) {
        return 1 + *bytes;
    }
    return id == 0 ? 1 + HidapiBackend::kDefaultOutputBytes : 0;
}

}  // namespace

std::u16string WideToUtf16(const wchar_t* text) {
    std::u16string out;
    if (text == nullptr) {
        return out;
    }
    for (; *text != 0; ++text) {
        auto c = static_cast<std::uint32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
        } else if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

int HidapiBackend::Init() {
    return hid_init();
}

int HidapiBackend::Exit() {
    return hid_exit();
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate(std::uint16_t vendor_id,
                                                    std::uint16_t product_id) {
    std::vector<HidDeviceInfo> list;
    hid_device_info* all = hid_enumerate(vendor_id, product_id);
    for (hid_device_info* d = all; d != nullptr; d = d->next) {
        HidDeviceInfo info;
        info.path = d->path != nullptr ? d->path : "";
        info.vendor_id = d->vendor_id;
        info.product_id = d->product_id;
        info.release_number = d->release_number;
        info.usage_page = d->usage_page;
        info.usage = d->usage;
        info.interface_number = d->interface_number;
        info.product_string = WideToUtf16(d->product_string);
        list.push_back(std::move(info));
    }
    hid_free_enumeration(all);
    return list;
}

HidHandle HidapiBackend::OpenPath(const std::string& path) {
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr) {
        return HidHandle::None;
    }
    const auto handle = static_cast<HidHandle>(reinterpret_cast<std::uintptr_t>(device));
    std::vector<std::uint8_t> descriptor = DescriptorOf(path);
    std::lock_guard<std::mutex> lock(mutex_);
    descriptor_[handle] = std::move(descriptor);
    return handle;
}

void HidapiBackend::Close(HidHandle handle) {
    if (handle == HidHandle::None) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        descriptor_.erase(handle);
    }
    hid_close(Device(handle));
}

int HidapiBackend::Write(HidHandle handle, const std::uint8_t* data, std::size_t length) {
    if (handle == HidHandle::None || data == nullptr || length == 0) {
        return -1;
    }
    std::size_t padded = length;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = descriptor_.find(handle);
        if (it != descriptor_.end()) {
            padded = std::max(length, WriteLengthOf(it->second, data[0]));
        }
    }
    if (padded == length) {
        return hid_write(Device(handle), data, length);
    }
    std::vector<std::uint8_t> buffer(padded, 0);
    std::copy(data, data + length, buffer.begin());
    const int written = hid_write(Device(handle), buffer.data(), buffer.size());
    // The caller sent `length` bytes; the padding is the transport's.
    return written < 0 ? written : static_cast<int>(std::min<std::size_t>(written, length));
}

int HidapiBackend::ReadTimeout(HidHandle handle, std::uint8_t* data, std::size_t length,
                               int timeout_ms) {
    if (handle == HidHandle::None) {
        return -1;
    }
    return hid_read_timeout(Device(handle), data, length, timeout_ms);
}

int HidapiBackend::GetProductString(HidHandle handle, std::u16string& out, std::size_t max_chars) {
    if (handle == HidHandle::None) {
        return -1;
    }
    std::vector<wchar_t> buffer(max_chars + 1, 0);
    if (hid_get_product_string(Device(handle), buffer.data(), buffer.size()) != 0) {
        return -1;
    }
    out = WideToUtf16(buffer.data()).substr(0, max_chars);
    return 0;
}

}  // namespace quillora
