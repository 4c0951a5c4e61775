#include "app/Decimal.h"

#include <gtest/gtest.h>
#include <climits>

namespace quillora {
namespace {

struct DecimalCase {
    const char* text;
    int value;
};

TEST(Decimal, ReadsLikeThePlainConversion) {
    const DecimalCase cases[] = {
        {"", 0},
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"+8", 8},
        {"  15", 15},
        {"\t3", 3},
        {"12abc", 12},
        {"abc", 0},
        {"- 5", 0},
        {"1.5", 1},
        {"0x10", 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"99999999999999999999999", INT_MAX},
    };
    for (const DecimalCase& c : cases) {
        EXPECT_EQ(DecimalToInt(std::string_view(c.text)), c.value) << '"' << c.text << '"';
        const std::string narrow(c.text);
        const std::u16string wide(narrow.begin(), narrow.end());
        EXPECT_EQ(DecimalToInt(std::u16string_view(wide)), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace quillora
