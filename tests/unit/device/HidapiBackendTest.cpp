#include "device/HidapiBackend.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(HidapiBackend, WideStringsBecomeUtf16) {
    EXPECT_EQ(WideToUtf16(nullptr), u"");
    EXPECT_EQ(WideToUtf16(L"Mouse \u00e9"), u"Mouse \u00e9");
    // hidapi's wchar_t is UTF-32 here: characters past the BMP need a surrogate pair.
    const wchar_t astral[] = {static_cast<wchar_t>(0x1F5B1), 0};
    EXPECT_EQ(WideToUtf16(astral), u"\U0001F5B1");
    const wchar_t invalid[] = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000), 0};
    EXPECT_EQ(WideToUtf16(invalid), u"\uFFFD\uFFFD");
}

TEST(HidapiBackend, FailuresComeBackAsValues) {
    HidapiBackend api;
    ASSERT_EQ(api.Init(), 0);
    EXPECT_EQ(api.OpenPath("/nonexistent/hidraw99"), HidHandle::None);
    std::uint8_t buffer[65] = {};
    EXPECT_EQ(api.Write(HidHandle::None, buffer, sizeof buffer), -1);
    EXPECT_EQ(api.ReadTimeout(HidHandle::None, buffer, sizeof buffer, 0), -1);
    std::u16string product;
    EXPECT_EQ(api.GetProductString(HidHandle::None, product, 10), -1);
    api.Close(HidHandle::None);
    EXPECT_EQ(api.Exit(), 0);
}

}  // namespace
}  // namespace quillora
