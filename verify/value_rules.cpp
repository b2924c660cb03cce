#include "verify/value_rules.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "schema/text.h"
#include "verify/conversions.h"
#include "verify/normalisers.h"

namespace bq {
namespace {

// `n`'s decimal text into `buffer`, through to_chars, which never consults a locale.
std::string_view IntegerText(int n, std::string& buffer) {
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    (void)ec;  // 16 bytes hold any 32-bit integer
    buffer.assign(digits, end);
    return buffer;
}

// `value` without the bytes `drop` selects; `value` itself when it has none,
// which is what most values are.
template <typename Drop>
std::string_view Without(std::string_view value, std::string& buffer, Drop drop) {
    if (std::none_of(value.begin(), value.end(), drop)) return value;
    buffer.clear();
    for (char c : value)
        if (!drop(c)) buffer += c;
    return buffer;
}

std::string_view ZeroWhenBlank(std::string_view value) { return Trim(value).empty() ? "0" : value; }

std::string_view UpperCased(std::string_view value, std::string& buffer) {
    if (std::none_of(value.begin(), value.end(), [](char c) { return c >= 'a' && c <= 'z'; })) return value;
    buffer.assign(value);
    for (char& c : buffer) c = ToUpperAscii(c);
    return buffer;
}

// Characters 1-3, 5-6 and 8-11 of an 11-character XXX-XX-XXXX.
std::string_view WithoutSsnDashes(std::string_view value, std::string& buffer) {
    buffer.assign(value.substr(0, 3)).append(value.substr(4, 2)).append(value.substr(7, 4));
    return buffer;
}

bool IsNineDigitsOrEmpty(std::string_view value) {
    return value.empty() || (value.size() == 9 && IsAllDigits(value));
}

// ZeroPad into `out`, which has room for `n` bytes: `s` right-aligned in `n`
// bytes filled with '0', keeping only its last `n` bytes when it is longer.
void ZeroPadInto(char* out, size_t n, std::string_view s) {
    const size_t keep = std::min(n, s.size());
    std::fill(out, out + (n - keep), '0');
    std::copy(s.end() - static_cast<std::ptrdiff_t>(keep), s.end(), out + (n - keep));
}

constexpr std::string_view kFalseSpellings[] = {"", "NULL", "0", "N", "F", "FALSE", "NO"};
constexpr std::string_view kTrueSpellings[] = {"X", "1", "Y", "T", "TRUE", "YES"};

}  // namespace

std::string_view CleanCurrency(std::string_view value, char typeCode, std::string& buffer) {
    const bool unsignedAmount = typeCode == 'c';
    return ZeroWhenBlank(Without(value, buffer, [unsignedAmount](char c) {
        return c == '$' || c == '+' || c == ',' || (unsignedAmount && c == '-');
    }));
}

std::string_view CleanWholeNumber(std::string_view value, std::string& buffer) {
    const std::string_view cleaned =
        ZeroWhenBlank(Without(value, buffer, [](char c) { return c == '+' || c == ','; }));
    // A plain integer converts to the same number either way; only other
    // notations ("12.0", "1e3") need the floating-point reading.
    if (const auto n = ToInt32(cleaned)) return IntegerText(*n, buffer);
    const auto number = ToDouble(cleaned);
    if (number && *number >= -2147483648.0 && *number <= 2147483647.0 &&
        *number == static_cast<double>(static_cast<std::int32_t>(*number)))
        return IntegerText(static_cast<int>(*number), buffer);
    return cleaned;
}

std::string_view CleanFloat(std::string_view value, std::string& buffer) {
    return ZeroWhenBlank(Without(value, buffer, [](char c) { return c == '$' || c == '+' || c == ','; }));
}

std::string_view NormalizeTinType(std::string_view value) {
    if (value.empty()) return "N/A";
    if (value == "1") return "EIN";
    if (value == "2") return "SSN";
    return value;
}

std::string_view NormalizeIndicator(std::string_view value, std::string& buffer) {
    for (std::string_view spelling : kFalseSpellings)
        if (EqualsIgnoringCase(value, spelling)) return {};
    for (std::string_view spelling : kTrueSpellings)
        if (EqualsIgnoringCase(value, spelling)) return "X";
    return UpperCased(value, buffer);
}

std::string_view NormalizeSsn(std::string_view value, std::string& buffer) {
    return value.size() == 11 ? WithoutSsnDashes(value, buffer) : value;
}

std::string_view NormalizeTin(std::string_view value, std::string& buffer, std::string_view& tinType) {
    tinType = value.empty() ? "N/A" : "";
    if (value.size() == 10) {
        tinType = "EIN";
        buffer.assign(value.substr(0, 2)).append(value.substr(3));
        return buffer;
    }
    if (value.size() == 11) {
        tinType = "SSN";
        return WithoutSsnDashes(value, buffer);
    }
    return value;
}

std::string_view NormalizeYear(std::string_view value, std::string& buffer) {
    if (value.size() != 2 && value.size() != 4) return {};
    const auto year = ToInt32(value);
    // A negative year names no reporting year; it is treated as invalid.
    if (!year || *year < 0) return {};
    int n = *year;
    if (n < 50) n += 2000;
    if (n < 100) n += 1900;
    return IntegerText(n, buffer);
}

std::string_view NormalizeDate(std::string_view value, int currentYear, std::string& buffer) {
    if (value.empty()) return value;
    // The slash-less layouts are rebuilt as MM/DD/YY[YY] first; at most ten bytes.
    char rebuilt[10];
    std::string_view text = value;
    if (value.find('/') == std::string_view::npos) {
        char padded[8];
        const size_t width = value.size() <= 6 ? 6 : 8;
        ZeroPadInto(padded, width, value);
        rebuilt[0] = padded[0];
        rebuilt[1] = padded[1];
        rebuilt[2] = '/';
        rebuilt[3] = padded[2];
        rebuilt[4] = padded[3];
        rebuilt[5] = '/';
        std::copy(padded + 4, padded + width, rebuilt + 6);
        text = std::string_view(rebuilt, width + 2);
    }
    const auto date = ToDate(text, currentYear);
    if (!date) return {};
    // Month and day have at most two digits and the year at most four.
    char formatted[8];
    const auto two = [](char* at, int n) {
        at[0] = static_cast<char>('0' + n / 10);
        at[1] = static_cast<char>('0' + n % 10);
    };
    two(formatted, date->month);
    two(formatted + 2, date->day);
    two(formatted + 4, date->year / 100);
    two(formatted + 6, date->year % 100);
    buffer.assign(formatted, sizeof formatted);
    return buffer;
}

Verdict ApplyRule(char typeCode, std::string_view value, std::string& buffer, std::string_view& written,
                  std::string_view& tinType, int currentYear) {
    tinType = {};
    const auto valid = [&written](std::string_view result, bool ok) {
        written = result;
        return ok ? Verdict::Accepted : Verdict::Rejected;
    };
    // An optional date or year that was given but did not read becomes empty.
    const auto optional = [&written, &value](std::string_view result) {
        written = result;
        return !value.empty() && result.empty() ? Verdict::Emptied : Verdict::Accepted;
    };
    switch (typeCode) {
        case 'O':
            return valid(UpperCased(value, buffer), true);
        case 'T':
            return valid(NormalizeTinType(value), true);
        case 'I': {
            const std::string_view result = NormalizeIndicator(value, buffer);
            return valid(result, result.empty() || result == "X");
        }
        case 'C':
        case 'c': {
            // Most amounts are empty or plain, and cleaning leaves a plain
            // amount as it is (but for the sign of an unsigned one).
            if (value.empty()) return valid("0", true);
            if (IsPlainAmount(value) && (typeCode == 'C' || value[0] != '-')) return valid(value, true);
            const std::string_view result = CleanCurrency(value, typeCode, buffer);
            return valid(result, IsCurrencyText(result));
        }
        case 'w': {
            const std::string_view result = CleanWholeNumber(value, buffer);
            return valid(result, ToInt32(result).has_value());
        }
        case '#': {
            const std::string_view result = CleanFloat(value, buffer);
            return valid(result, ToDouble(result).has_value());
        }
        case 'n': {
            const std::string_view result = NormalizeSsn(value, buffer);
            return valid(result, IsNineDigitsOrEmpty(result));
        }
        case 'N': {
            const std::string_view result = NormalizeTin(value, buffer, tinType);
            return valid(result, IsNineDigitsOrEmpty(result));
        }
        case 'Y': {
            const std::string_view result = NormalizeYear(value, buffer);
            return valid(result, !result.empty());
        }
        case 'y':
            return optional(NormalizeYear(value, buffer));
        case 'D': {
            const std::string_view result = NormalizeDate(value, currentYear, buffer);
            return valid(result, !result.empty());
        }
        case 'd':
        case 'b':
            return optional(NormalizeDate(value, currentYear, buffer));
        case 'u': {
            if (value.empty()) return valid(value, true);
            const auto n = ToInt32(value);
            if (!n || *n < 0 || *n > 99) return valid(value, false);
            buffer = {static_cast<char>('0' + *n / 10), static_cast<char>('0' + *n % 10)};
            return valid(buffer, true);
        }
        case 'g':
            return valid(value, value.size() == 1 && value[0] >= '1' && value[0] <= '9');
        default:
            // Free text, the coverage codes, and the codes without a rule of
            // their own are carried into the output unchanged.
            return valid(value, true);
    }
}

}  // namespace bq
