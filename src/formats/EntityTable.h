#pragma once

// The named character entities an attribute value may use.

#include <cstddef>
#include <string_view>

namespace quillora {

// The code point of a named entity (without "&" and ";"), ignoring ASCII case; of two
// entities that differ only in case the capitalised one wins ("oslash" gives U+00D8).
// Returns -1 for a name not in the table.
int LookUpEntity(std::u16string_view name);

// Number of entities in the table.
size_t EntityCount();

}  // namespace quillora
