#pragma once

// The plain decimal conversion used for every stored number: registry values, settings
// and integer attributes. Leading blanks and one sign are accepted, digits are read up
// to the first other character, and missing, empty or non-numeric text gives 0. Values
// beyond the int range saturate at its ends.

#include <string_view>

namespace quillora {

int DecimalToInt(std::string_view text);
int DecimalToInt(std::u16string_view text);

}  // namespace quillora
