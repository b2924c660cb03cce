// Byte-string helpers shared by every layer. Extracts are 8-bit ANSI text:
// only ASCII letters are case-mapped and no locale is ever consulted.
// Positions count from 1 where a helper takes one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bq {

// 'a'..'z' mapped to 'A'..'Z'; every other byte unchanged.
constexpr char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// 'A'..'Z' mapped to 'a'..'z'; every other byte unchanged.
constexpr char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True for the bytes that trimming removes: codes 0 to 32.
constexpr bool IsTrimmable(char c) { return static_cast<unsigned char>(c) <= 0x20; }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `s` with every 'a'..'z' upper-cased.
std::string UpperCaseAscii(std::string_view s);

// `s` without leading and trailing bytes of code 0 to 32.
constexpr std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsTrimmable(s[b])) ++b;
    while (e > b && IsTrimmable(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Equality ignoring ASCII letter case.
constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
    return true;
}

// `s` right-aligned in `n` characters filled with '0'; a longer `s` keeps
// only its last `n` characters.
std::string ZeroPad(int n, std::string_view s);

// True when every character is '0' to '9'; true for the empty string.
constexpr bool IsAllDigits(std::string_view s) {
    for (char c : s)
        if (!IsDigit(c)) return false;
    return true;
}

// The fewest single-character insertions, deletions and replacements that
// turn `a` into `b`; any distance above `max` is told as max + 1, found
// without measuring it, so that a huge text against a short name costs
// little.
size_t EditDistance(std::string_view a, std::string_view b, size_t max = static_cast<size_t>(-1) - 1);

}  // namespace bq
