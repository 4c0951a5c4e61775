#pragma once

// Encoding names to Windows code pages, and code pages to the glibc iconv converters
// that stand in for the Windows code-page conversions.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillora {

// Internal marker of UTF-32, converted by the engine itself rather than by iconv.
constexpr int kUtf32CodePage = 65005;
constexpr int kUtf8CodePage = 65001;
constexpr int kUtf16LeCodePage = 1200;
constexpr int kUtf16BeCodePage = 1201;

// The code page of an encoding name, ignoring ASCII case. An empty name gives 0 (the
// system ANSI code page); so does a name of 100 characters or more or one not in the
// table. A name beginning with exactly "UTF-32" gives kUtf32CodePage, whereas the table's
// lower-case "utf-32" gives 12000.
int LookUpCodePage(std::u16string_view name);

// The iconv name for a code page: "CP1252" for 0, nullptr for a code page glibc cannot
// convert or that is not in the table.
const char* IconvNameOfCodePage(int codePage);

// The whole table, for checking it: every code page, and every (code page, name) pair.
std::vector<int> KnownCodePages();
std::vector<std::pair<int, std::string>> KnownEncodingNames();

}  // namespace quillora
