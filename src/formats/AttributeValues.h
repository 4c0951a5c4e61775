#pragma once

// How attribute texts of config.xml and the description files turn into values.
// "integer" is DecimalToInt (app/Decimal.h).

#include <string_view>

namespace quillora {

// Base 16 like the C library's conversion: leading blanks, one sign and a "0x" are
// accepted, digits are read up to the first other character, none gives 0, and values
// beyond the 32-bit range saturate.
int HexToInt(std::u16string_view text);

// An integer that is exactly 1.
bool FlagValue(std::u16string_view text);

// A colour "#RRGGBB": the text after its first character holds up to six hexadecimal
// digits read in pairs as red, green and blue (2: red; 3: red and a one-digit green;
// 4: red, green; 5: red, green and a one-digit blue; 6: all three). Any other length
// gives 0. The result is red + 256 * green + 65536 * blue.
int ColourValue(std::u16string_view text);

// A button's hotspot "x1#x2#y": the line from (x1, y) to (x2, y).
struct HotspotLine {
    int x1 = 0;
    int x2 = 0;
    int y = 0;
    bool operator==(const HotspotLine&) const = default;
};
HotspotLine ParseHotspotLine(std::u16string_view text);

}  // namespace quillora
