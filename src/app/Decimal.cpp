#include "app/Decimal.h"

#include <climits>

namespace quillora {
namespace {

template <typename Char>
int Convert(std::basic_string_view<Char> text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            break;  // saturated; further digits cannot bring it back
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace

int DecimalToInt(std::string_view text) {
    return Convert(text);
}
int DecimalToInt(std::u16string_view text) {
    return Convert(text);
}

}  // namespace quillora
