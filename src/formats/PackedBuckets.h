#pragma once

// Compile-time hash tables of packed strings, for the fixed name tables of the XML
// engine (encoding names, character entities). Each bucket is one run of entries
// "<length digits><value digits><name>", so a lookup walks a few bytes of read-only
// data and start-up allocates nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillora::packed {

struct NamedValue {
    int value;
    const char* name;
};

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr size_t Length(const char* s) {
    size_t n = 0;
    while (s[n] != 0) {
        ++n;
    }
    return n;
}

constexpr bool HasUpper(const char* s) {
    for (size_t i = 0; s[i] != 0; ++i) {
        if (s[i] >= 'A' && s[i] <= 'Z') {
            return true;
        }
    }
    return false;
}

// The bucket of a name: the sum of its code units after lower-casing A-Z.
template <typename Char>
constexpr size_t BucketOf(std::basic_string_view<Char> name, size_t buckets) {
    uint64_t sum = 0;
    for (Char c : name) {
        uint32_t u = static_cast<uint32_t>(c);
        if (u >= 'A' && u <= 'Z') {
            u += 'a' - 'A';
        }
        sum += u;
    }
    return static_cast<size_t>(sum % buckets);
}

template <size_t N>
constexpr size_t PackedSize(const std::array<NamedValue, N>& entries, int lengthDigits,
                            int valueDigits) {
    size_t total = 0;
    for (const auto& e : entries) {
        total += static_cast<size_t>(lengthDigits + valueDigits) + Length(e.name);
    }
    return total;
}

template <size_t Buckets, size_t Chars>
struct Table {
    std::array<char, Chars> data{};
    std::array<uint32_t, Buckets + 1> begin{};
    int lengthDigits = 0;
    int valueDigits = 0;
};

constexpr void PutNumber(char* out, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Packs the entries into their buckets with names lower-cased. Within a bucket, entries
// whose name has capitals come before all-lower-case ones, so that of two names that
// differ only in case the capitalised one is found first.
template <size_t Buckets, size_t Chars, size_t N>
constexpr Table<Buckets, Chars> Build(const std::array<NamedValue, N>& entries, int lengthDigits,
                                      int valueDigits) {
    Table<Buckets, Chars> t{};
    t.lengthDigits = lengthDigits;
    t.valueDigits = valueDigits;
    // A counting sort by bucket, so that building stays within the compilers' limits on
    // constant evaluation.
    std::array<size_t, N> bucket{};
    std::array<size_t, Buckets + 1> size{};
    for (size_t i = 0; i < N; ++i) {
        const size_t len = Length(entries[i].name);
        bucket[i] = BucketOf(std::string_view(entries[i].name, len), Buckets);
        size[bucket[i]] += static_cast<size_t>(lengthDigits + valueDigits) + len;
    }
    std::array<size_t, Buckets> cursor{};
    size_t at = 0;
    for (size_t b = 0; b < Buckets; ++b) {
        t.begin[b] = static_cast<uint32_t>(at);
        cursor[b] = at;
        at += size[b];
    }
    t.begin[Buckets] = static_cast<uint32_t>(at);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < N; ++i) {
            const NamedValue& e = entries[i];
            if (HasUpper(e.name) != (pass == 0)) {
                continue;
            }
            const size_t len = Length(e.name);
            size_t& w = cursor[bucket[i]];
            PutNumber(&t.data[w], static_cast<int>(len), lengthDigits);
            w += static_cast<size_t>(lengthDigits);
            PutNumber(&t.data[w], e.value, valueDigits);
            w += static_cast<size_t>(valueDigits);
            for (size_t k = 0; k < len; ++k) {
                t.data[w++] = LowerAscii(e.name[k]);
            }
        }
    }
    return t;
}

constexpr int ReadNumber(const char* p, int digits) {
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// Finds name (any code unit type) ignoring ASCII case; the first matching entry of its
// bucket wins. Returns -1 when the name is not in the table.
template <typename Char, size_t Buckets, size_t Chars>
int Find(const Table<Buckets, Chars>& t, std::basic_string_view<Char> name) {
    const size_t b = BucketOf(name, Buckets);
    const char* p = t.data.data() + t.begin[b];
    const char* end = t.data.data() + t.begin[b + 1];
    while (p < end) {
        const int len = ReadNumber(p, t.lengthDigits);
        const int value = ReadNumber(p + t.lengthDigits, t.valueDigits);
        const char* entry = p + t.lengthDigits + t.valueDigits;
        if (static_cast<size_t>(len) == name.size()) {
            bool same = true;
            for (size_t i = 0; i < name.size() && same; ++i) {
                uint32_t u = static_cast<uint32_t>(name[i]);
                if (u >= 'A' && u <= 'Z') {
                    u += 'a' - 'A';
                }
                same = u == static_cast<unsigned char>(entry[i]);
            }
            if (same) {
                return value;
            }
        }
        p = entry + len;
    }
    return -1;
}

// How many entries a table holds (for the table's own checks).
template <size_t Buckets, size_t Chars>
constexpr size_t Count(const Table<Buckets, Chars>& t) {
    size_t n = 0;
    size_t at = 0;
    while (at < t.begin[Buckets]) {
        at += static_cast<size_t>(t.lengthDigits + t.valueDigits +
                                  ReadNumber(&t.data[at], t.lengthDigits));
        ++n;
    }
    return n;
}

}  // namespace quillora::packed
