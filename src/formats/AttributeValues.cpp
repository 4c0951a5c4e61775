#include "formats/AttributeValues.h"

#include <climits>

#include "app/Decimal.h"

namespace quillora {
namespace {

int HexDigit(char16_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The leading hexadecimal digits of a colour component; a component holds at most two.
int ComponentValue(std::u16string_view digits) {
    int value = 0;
    for (char16_t c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            break;
        value = value * 16 + d;
    }
    return value;
}

}  // namespace

int HexToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0)
            break;
        value = value * 16 + d;
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool FlagValue(std::u16string_view text) {
    return DecimalToInt(text) == 1;
}

int ColourValue(std::u16string_view text) {
    if (text.empty())
        return 0;
    const std::u16string_view digits = text.substr(1);
    const size_t n = digits.size();
    if (n < 2 || n > 6)
        return 0;
    const int red = ComponentValue(digits.substr(0, 2));
    const int green = n > 2 ? ComponentValue(digits.substr(2, 2)) : 0;
    const int blue = n > 4 ? ComponentValue(digits.substr(4, 2)) : 0;
    return red + 256 * green + 65536 * blue;
}

HotspotLine ParseHotspotLine(std::u16string_view text) {
    HotspotLine line;
    auto take = [&text](int& out) {
        const size_t hash = text.find(u'#');
        if (hash == std::u16string_view::npos) {
            out = 0;
            return;
        }
        out = DecimalToInt(text.substr(0, hash));
        text = text.substr(hash + 1);
    };
    take(line.x1);
    take(line.x2);
    line.y = DecimalToInt(text);
    return line;
}

}  // namespace quillora
