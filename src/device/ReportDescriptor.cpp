#include "device/ReportDescriptor.h"

#include <map>
#include <vector>

namespace quillora {
namespace {

struct Globals {
    std::uint32_t report_size = 0;
    std::uint32_t report_count = 0;
    std::uint8_t report_id = 0;
};

}  // namespace

std::optional<std::size_t> OutputReportLength(std::span<const std::uint8_t> d,
                                              std::uint8_t report_id) {
    std::map<std::uint8_t, std::uint64_t> bits;
    std::vector<Globals> stack;
    Globals g;
    std::size_t i = 0;
    while (i < d.size()) {
        const std::uint8_t prefix = d[i];
        if (prefix == 0xFE) {
            // Long item: size byte, tag byte, data.
            if (i + 2 >= d.size()) {
                return std::nullopt;
            }
            i += 3 + d[i + 1];
            continue;
        }
        static constexpr std::size_t kSizes[4] = {0, 1, 2, 4};
        const std::size_t size = kSizes[prefix & 0x03];
        if (i + 1 + size > d.size()) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b) {
            value |= static_cast<std::uint32_t>(d[i + 1 + b]) << (8 * b);
        }
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (type == 1) {  // global
            switch (tag) {
                case 7:
                    g.report_size = value;
                    break;
                case 8:
                    g.report_id = static_cast<std::uint8_t>(value);
                    break;
                case 9:
                    g.report_count = value;
                    break;
                case 10:
                    stack.push_back(g);
                    break;
                case 11:
                    if (stack.empty()) {
                        return std::nullopt;
                    }
                    g = stack.back();
                    stack.pop_back();
                    break;
                default:
                    break;
            }
        } else if (type == 0 && tag == 9) {  // main: Output
            bits[g.report_id] += static_cast<std::uint64_t>(g.report_size) * g.report_count;
        }
        i += 1 + size;
    }
    auto it = bits.find(report_id);
    if (it == bits.end() || it->second == 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>((it->second + 7) / 8);
}

std::string ReportDescriptorPath(const std::string& hidraw_path) {
    const std::string prefix = "/dev/";
    if (hidraw_path.rfind(prefix, 0) != 0) {
        return {};
    }
    const std::string node = hidraw_path.substr(prefix.size());
    if (node.rfind("hidraw", 0) != 0 || node.find('/') != std::string::npos) {
        return {};
    }
    return "/sys/class/hidraw/" + node + "/device/report_descriptor";
}

}  // namespace quillora
