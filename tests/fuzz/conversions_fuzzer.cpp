// The conversions, normalisers and string helpers on arbitrary bytes: no
// undefined behaviour, and each result keeps its promise. Numbers are
// checked against independent readings (strtod, a plain digit reader), dates
// against an independent calendar. The first byte picks a width for the
// string helpers, the second the current year; the rest is the value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "schema/text.h"
#include "schema/type_codes.h"
#include "tests/rule_on_string.h"
#include "verify/conversions.h"
#include "verify/normalisers.h"
#include "verify/value_rules.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void Expect(bool ok, const char* what, std::string_view detail) {
    if (!ok) Fail(what, detail);
}

bool Digits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int Number(std::string_view digits) {
    int n = 0;
    for (char c : digits) n = n * 10 + (c - '0');
    return n;
}

bool RealDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return day <= days[month - 1];
}

// MMDDYYYY naming a real date.
bool IsEightDigitDate(std::string_view s) {
    return s.size() == 8 && Digits(s) &&
           RealDate(Number(s.substr(4, 4)), Number(s.substr(0, 2)), Number(s.substr(2, 2)));
}

// Blanks (0x20 only), a sign, then digits only: the reading an integer conversion must give.
std::optional<std::int32_t> ReferenceInt32(std::string_view s) {
    size_t at = s.find_first_not_of(" ");
    if (at == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (s[at] == '+' || s[at] == '-') negative = s[at++] == '-';
    std::string_view digits = s.substr(at);
    if (digits.empty() || !Digits(digits)) return std::nullopt;
    while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
    if (digits.size() > 10) return std::nullopt;
    long long n = 0;
    for (char c : digits) n = n * 10 + (c - '0');
    if (negative) n = -n;
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

void CheckNumbers(const std::string& s) {
    Expect(bq::ToInt32(s) == ReferenceInt32(s), "ToInt32 differs from the plain reading", s);

    const std::optional<double> d = bq::ToDouble(s);
    const std::optional<std::int64_t> c = bq::ToCurrency(s);
    if (!d) {
        Expect(!c, "a currency that is no number", s);
        return;
    }
    // glibc's strtod rounds correctly, as ToDouble promises; the "C" locale is in force.
    char* end = nullptr;
    const double reference = std::strtod(s.c_str(), &end);
    Expect(std::string_view(end).find_first_not_of(" ") == std::string_view::npos, "strtod stopped early", s);
    Expect(reference == *d, "ToDouble differs from strtod", s);

    const long double scaled = static_cast<long double>(*d) * 10000.0L;
    constexpr long double kLimit = 9223372036854775808.0L;
    if (c) {
        const long double tolerance = 0.5L + std::fabs(scaled) * 1e-15L;
        Expect(std::fabs(scaled - static_cast<long double>(*c)) <= tolerance, "currency far from the number",
               s);
    } else {
        Expect(std::fabs(scaled) >= kLimit * (1 - 1e-15L), "a currency in range refused", s);
    }
}

void CheckDate(const std::string& s, int year) {
    const std::optional<bq::Date> date = bq::ToDate(s, year);
    if (date) {
        Expect(RealDate(date->year, date->month, date->day), "ToDate gave no real date", s);
        const std::string again = std::to_string(date->month) + "/" + std::to_string(date->day) + "/" +
                                  bq::ZeroPad(4, std::to_string(date->year));
        const std::optional<bq::Date> reread = bq::ToDate(again, year);
        Expect(
            reread && reread->year == date->year && reread->month == date->month && reread->day == date->day,
            "a date does not read back", again);
    }
    std::string buffer;
    const std::string normalised(bq::NormalizeDate(s, year, buffer));
    Expect(normalised.empty() || IsEightDigitDate(normalised), "NormalizeDate gave no MMDDYYYY date",
           normalised);
    Expect(!s.empty() || normalised.empty(), "an empty date filled in", s);
}

void CheckStringHelpers(const std::string& s, int n) {
    const size_t width = n > 0 ? static_cast<size_t>(n) : 0;
    const std::string padded = bq::ZeroPad(n, s);
    Expect(padded.size() == width, "ZeroPad length", padded);
    if (s.size() >= width)
        Expect(padded == s.substr(s.size() - width), "ZeroPad kept other than the last characters", padded);
    else
        Expect(padded == std::string(width - s.size(), '0') + s, "ZeroPad fill", padded);
    const std::string_view trimmed = bq::Trim(s);
    Expect(trimmed.empty() || (!bq::IsTrimmable(trimmed.front()) && !bq::IsTrimmable(trimmed.back())), "Trim",
           s);
}

void CheckNormalisers(const std::string& s) {
    std::string buffer;
    // Each result is copied out: the next call may reuse the buffer it points into.
    const std::string year(bq::NormalizeYear(s, buffer));
    if (!year.empty()) {
        Expect(s.size() == 2 || s.size() == 4, "a year from a value of other length", s);
        Expect(Digits(year) && year[0] != '0' && year.size() >= 3 && year.size() <= 4, "year text", year);
        if (s.size() == 2)
            Expect(Number(year) >= 1950 && Number(year) <= 2049, "two-digit year window", year);
    }

    const std::string ssn(bq::NormalizeSsn(s, buffer));
    Expect(ssn == (s.size() == 11 ? s.substr(0, 3) + s.substr(4, 2) + s.substr(7) : s), "NormalizeSsn", ssn);

    std::string_view tinTypeView = "stale";
    const std::string tin(bq::NormalizeTin(s, buffer, tinTypeView));
    const std::string tinType(tinTypeView);
    const char* expectedType = s.empty() ? "N/A" : s.size() == 10 ? "EIN" : s.size() == 11 ? "SSN" : "";
    Expect(tinType == expectedType, "TIN type", tinType);
    Expect(tin.size() == (s.size() == 10 || s.size() == 11 ? 9 : s.size()), "NormalizeTin length", tin);

    const std::string indicator(bq::NormalizeIndicator(s, buffer));
    Expect(indicator.empty() || indicator == "X" || indicator == bq::UpperCaseAscii(s), "NormalizeIndicator",
           indicator);

    for (char code : {'C', 'c'}) {
        const std::string amount(bq::CleanCurrency(s, code, buffer));
        Expect(!amount.empty() && amount.find_first_of(code == 'c' ? "$+,-" : "$+,") == std::string::npos,
               "CleanCurrency", amount);
    }
    const std::string whole(bq::CleanWholeNumber(s, buffer));
    if (const auto n = bq::ToInt32(whole))
        Expect(whole == std::to_string(*n), "whole number not rewritten", whole);
    const std::string floating(bq::CleanFloat(s, buffer));
    Expect(!floating.empty() && floating.find_first_of("$+,") == std::string::npos, "CleanFloat", floating);
}

// What each rule promises about the value it accepts.
void CheckRule(char code, const std::string& input, int year) {
    std::string value = input, tinType;
    const bq::Verdict verdict = bq::test::ApplyRule(code, value, tinType, year);
    if (verdict == bq::Verdict::Rejected) {
        Expect(!bq::RejectedAs(code).empty(), "rejected without a phrase", input);
        return;
    }
    Expect(code == 'N' || tinType.empty(), "a TIN type from another code", input);
    Expect(verdict != bq::Verdict::Emptied || (value.empty() && !input.empty()), "Emptied but not empty",
           input);
    // The verification skips the rule of these codes altogether.
    if (bq::CopiesValue(code))
        Expect(verdict == bq::Verdict::Accepted && value == input, "a code said to copy changed its value",
               input);
    switch (code) {
        case 'I':
            Expect(value.empty() || value == "X", "indicator", value);
            break;
        case 'C':
        case 'c':
            Expect(bq::ToCurrency(value).has_value(), "currency", value);
            break;
        case 'w':
            Expect(bq::ToInt32(value).has_value(), "whole number", value);
            break;
        case '#':
            Expect(bq::ToDouble(value).has_value(), "float", value);
            break;
        case 'n':
        case 'N':
            Expect(value.empty() || (value.size() == 9 && Digits(value)), "SSN or TIN", value);
            break;
        case 'D':
            Expect(IsEightDigitDate(value), "required date", value);
            break;
        case 'd':
        case 'b':
            Expect(value.empty() || IsEightDigitDate(value), "optional date", value);
            break;
        case 'Y':
            Expect(!value.empty(), "required year", value);
            break;
        case 'u':
            Expect(value.empty() || (value.size() == 2 && Digits(value)), "delivery point", value);
            break;
        case 'g':
            Expect(value.size() == 1 && value[0] >= '1' && value[0] <= '9', "wager code", value);
            break;
        case 'O':
            Expect(value == bq::UpperCaseAscii(input), "upper-cased text", value);
            break;
        case 'T':
        case 'y':
            break;
        default:
            Expect(value == input, "text changed", value);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int width = static_cast<int>(data[0]) - 8;
    static constexpr int kOddYears[] = {std::numeric_limits<int>::min(), -1, 0, 1, 49, 9950, 9999, 10049,
                                        std::numeric_limits<int>::max()};
    const int year = data[1] < 240 ? 1900 + data[1] : kOddYears[(data[1] - 240) % 9];
    const std::string s(reinterpret_cast<const char*>(data) + 2, size - 2);

    CheckNumbers(s);
    CheckDate(s, year);
    CheckStringHelpers(s, width);
    CheckNormalisers(s);
    const std::string trimmed(bq::Trim(s));
    for (const bq::TypeCode& t : bq::TypeCodes) {
        CheckRule(t.code, trimmed, year);
        CheckRule(t.code, s, year);
    }
    return 0;
}
