// The number and date conversions that the value rules use as tests. They
// read '.' as the decimal point and dates as month/day/year with '/', never
// consult a locale, and neither overflow nor read past the text on any bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace bq {

// Optional leading blanks, optional '+' or '-', decimal digits; the value
// must fit a signed 32-bit integer. Hexadecimal notations are refused.
std::optional<std::int32_t> ToInt32(std::string_view s);

// Optional blanks, optional sign, digits with an optional '.' and fraction
// (at least one digit in all), optional exponent ('E' or 'e', optional sign,
// digits), optional blanks; nothing else. The value is correctly rounded;
// magnitudes beyond the double range convert to infinity.
std::optional<double> ToDouble(std::string_view s);

// The floating-point syntax read exactly as a count of ten-thousandths,
// rounded half to even at the fourth decimal; empty when the syntax is wrong
// or the amount lies outside -922337203685477.5808 .. 922337203685477.5807.
std::optional<std::int64_t> ToCurrency(std::string_view s);

// True exactly when ToCurrency reads `s`; for callers that only test.
bool IsCurrencyText(std::string_view s);

// True for an amount in its plain form: an optional '-', digits, and
// optionally '.' and more digits; at least one digit, at most 14 before the
// point and 4 after it. ToCurrency reads every such text exactly.
bool IsPlainAmount(std::string_view s);

struct Date {
    int year;
    int month;
    int day;
};

// A date read month/day[/year][/]: parts are digit runs (a part stops once
// its value reaches 1000), blanks around parts and separators are ignored.
// Without a year the year is `currentYear`; a year of one or two digits lies
// in the hundred years from currentYear - 50 to currentYear + 49. Month,
// day and year (1 to 9999) must form a real Gregorian date.
std::optional<Date> ToDate(std::string_view s, int currentYear);

// The calendar year of the local clock now.
int CurrentYear();

}  // namespace bq
