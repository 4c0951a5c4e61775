#include "device/ReportDescriptor.h"

#include <map>
#include <vector>

namespace quillora {
namespace {

enum ItemType { kMain = 0, kGlobal = 1, kLocal = 2 };

// Main item tags
constexpr int kOutput = 9, kCollection = 10, kEndCollection = 12;
// Global item tags
constexpr int kUsagePage = 0, kReportSize = 7, kReportId = 8, kReportCount = 9, kPush = 10,
              kPop = 11;
// Local item tags
constexpr int kUsage = 0;

struct Item {
    int type;
    int tag;
    std::uint32_t data;
    int size;
};

// Walks the short items of a descriptor; long items are skipped. Returns false when
// the descriptor ends inside an item.
template <typename Visit>
bool ForEachItem(std::span<const std::uint8_t> d, Visit visit) {
    size_t i = 0;
    while (i < d.size()) {
        const std::uint8_t prefix = d[i];
        if (prefix == 0xFE) {  // long item: size, tag, data
            if (i + 1 >= d.size())
                return false;
            const size_t length = d[i + 1];
            if (i + 3 + length > d.size())
                return false;
            i += 3 + length;
            continue;
        }
        int size = prefix & 0x3;
        if (size == 3)
            size = 4;
        if (i + 1 + size > d.size())
            return false;
        std::uint32_t data = 0;
        for (int k = 0; k < size; ++k)
            data |= std::uint32_t(d[i + 1 + k]) << (8 * k);
        if (!visit(Item{(prefix >> 2) & 0x3, prefix >> 4, data, size}))
            return true;
        i += 1 + size;
    }
    return true;
}

struct Globals {
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportId = 0;
    std::uint32_t reportCount = 0;
};

}  // namespace

std::optional<CollectionUsage> TopLevelCollection(std::span<const std::uint8_t> descriptor) {
    std::uint32_t usagePage = 0;
    // The first Usage since the last main item (locals last until the next one).
    bool haveUsage = false;
    std::uint32_t firstUsage = 0;
    bool firstUsageExtended = false;
    std::optional<CollectionUsage> found;
    int depth = 0;
    const bool complete = ForEachItem(descriptor, [&](const Item& item) {
        if (item.type == kGlobal && item.tag == kUsagePage) {
            usagePage = item.data;
        } else if (item.type == kLocal && item.tag == kUsage) {
            if (!haveUsage) {
                haveUsage = true;
                firstUsage = item.data;
                firstUsageExtended = item.size == 4;
            }
        } else if (item.type == kMain) {
            if (item.tag == kCollection) {
                if (depth == 0) {
                    CollectionUsage usage;
                    const std::uint32_t u = haveUsage ? firstUsage : 0;
                    // A four-byte usage carries its own page in the high half.
                    usage.usagePage =
                        static_cast<std::uint16_t>(firstUsageExtended ? (u >> 16) : usagePage);
                    usage.usage = static_cast<std::uint16_t>(u & 0xFFFF);
                    found = usage;
                    return false;
                }
                ++depth;
            } else if (item.tag == kEndCollection && depth > 0) {
                --depth;
            }
            haveUsage = false;
        }
        return true;
    });
    if (!complete)
        return std::nullopt;
    return found;
}

std::optional<std::size_t> OutputReportLength(std::span<const std::uint8_t> descriptor,
                                              std::uint8_t reportId) {
    Globals globals;
    std::vector<Globals> stack;
    std::map<std::uint32_t, std::uint64_t> bits;
    bool malformed = false;
    const bool complete = ForEachItem(descriptor, [&](const Item& item) {
        if (item.type == kGlobal) {
            switch (item.tag) {
                case kUsagePage:
                    globals.usagePage = item.data;
                    break;
                case kReportSize:
                    globals.reportSize = item.data;
                    break;
                case kReportId:
                    globals.reportId = item.data;
                    break;
                case kReportCount:
                    globals.reportCount = item.data;
                    break;
                case kPush:
                    if (stack.size() < 64)
                        stack.push_back(globals);
                    break;
                case kPop:
                    if (stack.empty()) {
                        malformed = true;
                        return false;
                    }
                    globals = stack.back();
                    stack.pop_back();
                    break;
                default:
                    break;
            }
        } else if (item.type == kMain && item.tag == kOutput) {
            auto& total = bits[globals.reportId];
            total += std::uint64_t(globals.reportSize) * globals.reportCount;
            if (total > (1u << 20))
                total = 1u << 20;  // nonsense sizes stay bounded
        }
        return true;
    });
    if (!complete || malformed) {
        return std::nullopt;
    }
    const auto it = bits.find(reportId);
    if (it == bits.end() || it->second == 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>((it->second + 7) / 8);
}

std::string ReportDescriptorPath(const std::string& hidrawPath) {
    const std::string prefix = "/dev/";
    if (hidrawPath.rfind(prefix, 0) != 0) {
        return {};
    }
    const std::string node = hidrawPath.substr(prefix.size());
    if (node.rfind("hidraw", 0) != 0 || node.find('/') != std::string::npos) {
        return {};
    }
    return "/sys/class/hidraw/" + node + "/device/report_descriptor";
}

}  // namespace quillora
