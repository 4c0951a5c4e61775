#pragma once

// Frame comparison for the encoder tables: a case gives the bytes a frame must start
// with and its checksum byte; every other byte must be zero.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "device/ReportFrame.h"

namespace quillora::testing_support {

inline std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::string token;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            if (!token.empty()) {
                bytes.push_back(
                    static_cast<std::uint8_t>(std::strtoul(token.c_str(), nullptr, 16)));
                token.clear();
            }
        } else {
            token.push_back(text[i]);
        }
    }
    return bytes;
}

inline std::string ToHex(const std::uint8_t* data, std::size_t n) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        if (i != 0) {
            out.push_back(' ');
        }
        out.push_back(kHex[data[i] >> 4]);
        out.push_back(kHex[data[i] & 15]);
    }
    return out;
}

inline ::testing::AssertionResult FrameIs(const ReportFrame& frame, std::string_view prefix_hex,
                                          std::uint8_t checksum) {
    ReportFrame expected;
    std::vector<std::uint8_t> prefix = Hex(prefix_hex);
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        expected[i] = prefix[i];
    }
    expected[request::kChecksum] = checksum;
    if (frame == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "\n  actual:   " << ToHex(frame.data(), 33) << " | " << ToHex(frame.data() + 33, 32)
           << "\n  expected: " << ToHex(expected.data(), 33) << " | "
           << ToHex(expected.data() + 33, 32);
}

}  // namespace quillora::testing_support
