#pragma once

// The result log of the XML engine: a run of empty elements, one per event, such as
// <read encoding="UTF-8" length="120"/>. Nothing more is added once the log is longer
// than kResultLogLimit characters.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quillora {

constexpr size_t kResultLogLimit = 999;

struct LogNumber {
    std::u16string_view name;
    int64_t value;
};

// Appends <entry textName="text" number="..."/>. The text attribute is written when
// textName is not empty (even for an empty text); numbers follow in the given order.
void AddResult(std::u16string& log, std::u16string_view entry, std::u16string_view textName = {},
               std::u16string_view text = {}, std::initializer_list<LogNumber> numbers = {});

// Same with numbers only.
inline void AddResult(std::u16string& log, std::u16string_view entry,
                      std::initializer_list<LogNumber> numbers) {
    AddResult(log, entry, {}, {}, numbers);
}

}  // namespace quillora
