#include "verify/conversions.h"

#include <charconv>
#include <chrono>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

#if !(defined(__cpp_lib_chrono) && __cpp_lib_chrono >= 201907L)
#include <ctime>
#endif

#include "schema/text.h"

namespace bq {
namespace {

// A blank is the character 0x20 only: a tab, or any other control byte
// left inside a value after trimming, means the value is not a number.
constexpr bool IsBlank(char c) { return c == ' '; }

size_t SkipBlanks(std::string_view s, size_t at) {
    while (at < s.size() && IsBlank(s[at])) ++at;
    return at;
}

size_t SkipDigits(std::string_view s, size_t at) {
    while (at < s.size() && IsDigit(s[at])) ++at;
    return at;
}

// Exponents stop growing far beyond anything that could still change a
// result; the cap leaves room for one more digit and for adding a digit
// count, so neither can overflow.
constexpr std::int64_t kExponentCap = 100'000'000'000'000'000;

// A number in the floating-point syntax taken apart: its value is
// intDigits.fracDigits x 10^exponent, with the sign applied last.
struct DecimalText {
    bool negative = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    std::int64_t exponent = 0;
};

std::optional<DecimalText> ParseDecimal(std::string_view s) {
    DecimalText d;
    size_t at = SkipBlanks(s, 0);
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) d.negative = s[at++] == '-';
    size_t end = SkipDigits(s, at);
    d.intDigits = s.substr(at, end - at);
    at = end;
    if (at < s.size() && s[at] == '.') {
        end = SkipDigits(s, ++at);
        d.fracDigits = s.substr(at, end - at);
        at = end;
    }
    if (d.intDigits.empty() && d.fracDigits.empty()) return std::nullopt;
    if (at < s.size() && (s[at] == 'E' || s[at] == 'e')) {
        ++at;
        bool negativeExponent = false;
        if (at < s.size() && (s[at] == '+' || s[at] == '-')) negativeExponent = s[at++] == '-';
        end = SkipDigits(s, at);
        if (end == at) return std::nullopt;
        for (; at < end; ++at) {
            if (d.exponent < kExponentCap) d.exponent = d.exponent * 10 + (s[at] - '0');
        }
        if (negativeExponent) d.exponent = -d.exponent;
    }
    if (SkipBlanks(s, at) != s.size()) return std::nullopt;
    return d;
}

// The digits of `d` without the decimal point and without leading and
// trailing zeros, with `scale` such that the magnitude is 0.digits x 10^scale.
// The digits are the part `head` of the integral digits followed by the part
// `tail` of the fraction digits, views rather than a copy because every
// currency value of an extract passes through here. No digits: zero.
struct Significand {
    std::string_view head;
    std::string_view tail;
    std::int64_t scale = 0;

    size_t size() const { return head.size() + tail.size(); }
    char operator[](size_t i) const { return i < head.size() ? head[i] : tail[i - head.size()]; }
};

Significand SignificantDigits(const DecimalText& d) {
    const std::string_view in = d.intDigits, frac = d.fracDigits;
    size_t first = in.find_first_not_of('0');
    Significand sig;
    if (first == std::string_view::npos) {
        // All integral digits are zeros: the digits start in the fraction.
        const size_t inFrac = frac.find_first_not_of('0');
        if (inFrac == std::string_view::npos) return {};
        const size_t last = frac.find_last_not_of('0');
        sig.tail = frac.substr(inFrac, last - inFrac + 1);
        first = in.size() + inFrac;
    } else {
        const size_t lastFrac = frac.find_last_not_of('0');
        if (lastFrac == std::string_view::npos) {
            const size_t last = in.find_last_not_of('0');
            sig.head = in.substr(first, last - first + 1);
        } else {
            sig.head = in.substr(first);
            sig.tail = frac.substr(0, lastFrac + 1);
        }
    }
    sig.scale = d.exponent + static_cast<std::int64_t>(in.size()) - static_cast<std::int64_t>(first);
    return sig;
}

std::string IntegerText(std::int64_t n) {
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    (void)ec;  // 24 bytes hold any 64-bit integer
    return std::string(buf, end);
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// One month, day or year of a date. Reading stops at four digits' worth so
// that the rest of an over-long number is left over and fails the form
// instead of being silently cut; the digit count tells "18" from "0018".
struct DatePart {
    int value = 0;
    int digits = 0;
};

std::optional<DatePart> ReadDatePart(std::string_view s, size_t& at) {
    DatePart part;
    while (at < s.size() && IsDigit(s[at]) && part.value < 1000) {
        part.value = part.value * 10 + (s[at++] - '0');
        ++part.digits;
    }
    if (part.digits == 0) return std::nullopt;
    at = SkipBlanks(s, at);
    return part;
}

bool ReadSlash(std::string_view s, size_t& at) {
    if (at >= s.size() || s[at] != '/') return false;
    at = SkipBlanks(s, at + 1);
    return true;
}

// An amount written plainly, [sign]digits[.digits] with at most 14 integral
// and 4 fraction digits, read into `count` ten-thousandths: it can neither
// overflow nor need rounding, and it is what nearly every currency value of
// an extract looks like. False for anything else, which the general reading
// then takes.
bool ReadPlainAmount(std::string_view s, std::int64_t& count) {
    size_t at = 0;
    bool negative = false;
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) negative = s[at++] == '-';
    count = 0;
    const size_t intStart = at;
    for (; at < s.size() && IsDigit(s[at]); ++at) {
        if (at - intStart == 14) return false;
        count = count * 10 + (s[at] - '0');
    }
    const size_t intDigits = at - intStart;
    size_t fraction = 0;
    if (at < s.size() && s[at] == '.') {
        for (++at; at < s.size() && IsDigit(s[at]); ++at, ++fraction) {
            if (fraction == 4) return false;
            count = count * 10 + (s[at] - '0');
        }
    }
    if (at != s.size() || intDigits + fraction == 0) return false;
    for (; fraction < 4; ++fraction) count *= 10;
    if (negative) count = -count;
    return true;
}

}  // namespace

std::optional<std::int32_t> ToInt32(std::string_view s) {
    size_t at = SkipBlanks(s, 0);
    bool negative = false;
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) negative = s[at++] == '-';
    if (at == s.size()) return std::nullopt;
    // Magnitudes up to 2^31 are the only ones that can fit; stopping there
    // keeps the accumulator from overflowing on long digit strings.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; at < s.size(); ++at) {
        if (!IsDigit(s[at])) return std::nullopt;
        magnitude = magnitude * 10 + (s[at] - '0');
        if (magnitude > kLimit) return std::nullopt;
    }
    if (!negative && magnitude == kLimit) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<double> ToDouble(std::string_view s) {
    const std::optional<DecimalText> d = ParseDecimal(s);
    if (!d) return std::nullopt;
    const double sign = d->negative ? -1.0 : 1.0;
    const Significand sig = SignificantDigits(*d);
    if (sig.size() == 0) return sign * 0.0;
    // 0.d x 10^310 exceeds the largest double and 0.d x 10^-330 is below half
    // the smallest subnormal, so such scales need no conversion; this also
    // keeps huge exponents out of from_chars.
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (sig.scale > 310) return sign * kInfinity;
    if (sig.scale < -330) return sign * 0.0;
    const std::string text =
        "0." + std::string(sig.head) + std::string(sig.tail) + "e" + IntegerText(sig.scale);
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) return sign * (sig.scale > 0 ? kInfinity : 0.0);
    if (ec != std::errc()) return std::nullopt;  // cannot happen for the text built above
    return sign * value;
}

std::optional<std::int64_t> ToCurrency(std::string_view s) {
    if (std::int64_t plain; ReadPlainAmount(s, plain)) return plain;
    const std::optional<DecimalText> d = ParseDecimal(s);
    if (!d) return std::nullopt;
    const Significand sig = SignificantDigits(*d);
    if (sig.size() == 0) return 0;
    // In ten-thousandths the amount is 0.digits x 10^(scale + 4), so the
    // first `whole` digits make the integral count and the rest are rounded.
    const std::int64_t whole = sig.scale + 4;
    // The largest magnitude, 9223372036854775808, has 19 digits; more cannot fit.
    if (whole > 19) return std::nullopt;
    const std::int64_t length = static_cast<std::int64_t>(sig.size());
    std::uint64_t count = 0;
    for (std::int64_t i = 0; i < whole; ++i)
        count = count * 10 + (i < length ? sig[static_cast<size_t>(i)] - '0' : 0);
    if (whole >= 0 && whole < length) {
        const int next = sig[static_cast<size_t>(whole)] - '0';
        // Trailing zeros are stripped, so any digit after `next` is non-zero.
        const bool moreAfter = whole + 1 < length;
        if (next > 5 || (next == 5 && (moreAfter || count % 2 == 1))) ++count;
    }
    // A negative `whole` leaves less than a tenth of a unit: it rounds to 0.
    constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int64_t>::max();
    if (d->negative) {
        if (count > kMaxPositive + 1) return std::nullopt;
        return count == kMaxPositive + 1 ? std::numeric_limits<std::int64_t>::min()
                                         : -static_cast<std::int64_t>(count);
    }
    if (count > kMaxPositive) return std::nullopt;
    return static_cast<std::int64_t>(count);
}

bool IsCurrencyText(std::string_view s) {
    // No optional on the way: the common case returns a plain bool.
    std::int64_t plain;
    return ReadPlainAmount(s, plain) || ToCurrency(s).has_value();
}

bool IsPlainAmount(std::string_view s) {
    std::int64_t count;
    return !s.empty() && s[0] != '+' && ReadPlainAmount(s, count);
}

std::optional<Date> ToDate(std::string_view s, int currentYear) {
    size_t at = SkipBlanks(s, 0);
    const std::optional<DatePart> month = ReadDatePart(s, at);
    if (!month || !ReadSlash(s, at)) return std::nullopt;
    const std::optional<DatePart> day = ReadDatePart(s, at);
    if (!day) return std::nullopt;
    std::optional<DatePart> year;
    if (ReadSlash(s, at) && at < s.size()) {
        year = ReadDatePart(s, at);
        if (!year) return std::nullopt;
        ReadSlash(s, at);
    }
    if (at != s.size()) return std::nullopt;

    // 64-bit so that no caller-supplied current year can overflow the window.
    std::int64_t y = currentYear;
    if (year) {
        y = year->value;
        if (year->digits <= 2) {
            const std::int64_t base = static_cast<std::int64_t>(currentYear) - 50;
            y += base / 100 * 100;
            if (y < base) y += 100;
        }
    }
    if (y < 1 || y > 9999 || month->value < 1 || month->value > 12) return std::nullopt;
    const int fullYear = static_cast<int>(y);
    if (day->value < 1 || day->value > DaysInMonth(month->value, fullYear)) return std::nullopt;
    return Date{fullYear, month->value, day->value};
}

int CurrentYear() {
    const auto now = std::chrono::system_clock::now();
#if defined(__cpp_lib_chrono) && __cpp_lib_chrono >= 201907L
    const std::chrono::zoned_time local{std::chrono::current_zone(), now};
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(local.get_local_time())};
    return static_cast<int>(date.year());
#else
    // Standard libraries without the time-zone database still offer the C
    // local-time conversion; the result is copied at once.
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const std::tm* local = std::localtime(&t);
    return local ? local->tm_year + 1900 : 0;
#endif
}

}  // namespace bq
