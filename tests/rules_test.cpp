#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "tests/rule_on_string.h"
#include "verify/conversions.h"
#include "verify/value_rules.h"

namespace bq {
namespace {

struct Case {
    const char* input;
    Verdict verdict;
    const char* written;
};

void ExpectRule(char code, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        std::string value = c.input, tinType;
        EXPECT_EQ(test::ApplyRule(code, value, tinType, 2026), c.verdict) << code << " '" << c.input << "'";
        if (c.verdict != Verdict::Rejected) {
            EXPECT_EQ(value, c.written) << code << " '" << c.input << "'";
        }
    }
}

constexpr Verdict kOk = Verdict::Accepted, kBad = Verdict::Rejected, kEmptied = Verdict::Emptied;

TEST(Rules, CurrencyKeepsOrDropsTheSignByCode) {
    ExpectRule('C', {{"$1,234.50", kOk, "1234.50"},
                     {"-1,000", kOk, "-1000"},
                     {"", kOk, "0"},
                     {"1 000", kBad, ""},
                     {"922337203685477.5807", kOk, "922337203685477.5807"},
                     {"922337203685477.5808", kBad, ""},
                     {"-922337203685477.5808", kOk, "-922337203685477.5808"},
                     {"1e-5", kOk, "1e-5"},
                     {"1e400", kBad, ""},
                     {"5.", kOk, "5."},
                     {".", kBad, ""},
                     {"abc", kBad, ""}});
    ExpectRule(
        'c', {{"-1,000", kOk, "1000"}, {"+$5", kOk, "5"}, {"-5", kOk, "5"}, {"-", kOk, "0"}, {"", kOk, "0"}});
    ExpectRule('C', {{"+5", kOk, "5"}, {"-5.25", kOk, "-5.25"}, {"$-", kBad, ""}, {"+", kOk, "0"}});
}

TEST(Rules, ATabInsideANumberOrDateIsNoBlank) {
    ExpectRule('C', {{"$\t5", kBad, ""}, {"$ 5", kOk, " 5"}, {"5\t", kBad, ""}});
    ExpectRule('w', {{"1\t2", kBad, ""}, {"+\t7", kBad, ""}});
    ExpectRule('#', {{"1.5\te3", kBad, ""}, {"$\t1.5", kBad, ""}});
    ExpectRule('D', {{"7\t4\t18", kBad, ""}, {"7/4\t/18", kBad, ""}, {"7 / 4 / 18", kOk, "07042018"}});
    ExpectRule('d', {{"7/\t4/18", kEmptied, ""}});
    ExpectRule('u', {{"\t5", kBad, ""}});
}

TEST(Rules, WholeNumbersAreRewrittenWhenIntegral) {
    ExpectRule('w', {{"1,200", kOk, "1200"},
                     {"12.00", kOk, "12"},
                     {"1e3", kOk, "1000"},
                     {"12.5", kBad, ""},
                     {"-5", kOk, "-5"},
                     {"-0", kOk, "0"},
                     {"1,2e+1", kOk, "120"},
                     {"2147483648", kBad, ""},
                     {"-2147483648", kOk, "-2147483648"},
                     {"", kOk, "0"},
                     {"$5", kBad, ""},
                     {"0x1A", kBad, ""}});
}

TEST(Rules, FloatsAreCleanedThenParsed) {
    ExpectRule('#', {{"$1,5.25", kOk, "15.25"},
                     {"abc", kBad, ""},
                     {"", kOk, "0"},
                     {"-2.5E+3", kOk, "-2.5E3"},
                     {"1e", kBad, ""}});
}

TEST(Rules, IndicatorsHaveTwoSpellingsOnly) {
    ExpectRule('I', {{"yes", kOk, "X"},
                     {"Y", kOk, "X"},
                     {"true", kOk, "X"},
                     {"1", kOk, "X"},
                     {"x", kOk, "X"},
                     {"no", kOk, ""},
                     {"0", kOk, ""},
                     {"null", kOk, ""},
                     {"", kOk, ""},
                     {"maybe", kBad, ""}});
}

TEST(Rules, SsnAndTinDropTheirDashes) {
    ExpectRule('n', {{"123-45-6789", kOk, "123456789"},
                     {"123x45y6789", kOk, "123456789"},
                     {"123456789", kOk, "123456789"},
                     {"12345678", kBad, ""},
                     {"12345678A", kBad, ""},
                     {"", kOk, ""}});
    struct TinCase {
        const char *input, *written, *tinType;
    };
    for (const TinCase& c :
         {TinCase{"12-3456789", "123456789", "EIN"}, TinCase{"123-45-6789", "123456789", "SSN"},
          TinCase{"", "", "N/A"}, TinCase{"123456789", "123456789", ""}}) {
        std::string value = c.input, tinType;
        EXPECT_EQ(test::ApplyRule('N', value, tinType, 2026), kOk) << c.input;
        EXPECT_EQ(value, c.written);
        EXPECT_EQ(tinType, c.tinType) << c.input;
    }
    std::string value = "12-34", tinType;
    EXPECT_EQ(test::ApplyRule('N', value, tinType, 2026), kBad);
}

TEST(Rules, YearsBecomeFourDigits) {
    ExpectRule('Y', {{"18", kOk, "2018"},
                     {"50", kOk, "1950"},
                     {"0007", kOk, "2007"},
                     {"0150", kOk, "150"},
                     {"2018", kOk, "2018"},
                     {"123", kBad, ""},
                     {"-1", kBad, ""},
                     {"", kBad, ""}});
    ExpectRule('y', {{"123", kEmptied, ""}, {"", kOk, ""}, {"49", kOk, "2049"}});
}

TEST(Rules, DatesInEveryLayoutBecomeMmDdYyyy) {
    ExpectRule('D', {{"7/4/18", kOk, "07042018"},
                     {"07/04/2018", kOk, "07042018"},
                     {"070418", kOk, "07042018"},
                     {"07042018", kOk, "07042018"},
                     {"1052018", kOk, "01052018"},
                     {"12/31", kOk, "12312026"},
                     {"2/29/2024", kOk, "02292024"},
                     {"2/29/2100", kBad, ""},
                     {"02/30/2018", kBad, ""},
                     {"01-05-2018", kBad, ""},
                     {"1/1/0000", kBad, ""},
                     {"1/1/20180", kBad, ""},
                     {"7/4/75", kOk, "07042075"},
                     {"7/4/76", kOk, "07041976"},
                     {"", kBad, ""}});
    ExpectRule('d', {{"02/30/2018", kEmptied, ""}, {"", kOk, ""}});
    ExpectRule('b', {{"13/01/2000", kEmptied, ""}});
}

TEST(Rules, DeliveryPointsAndWagerCodes) {
    ExpectRule('u',
               {{"5", kOk, "05"}, {"99", kOk, "99"}, {"100", kBad, ""}, {"-1", kBad, ""}, {"", kOk, ""}});
    ExpectRule('g', {{"3", kOk, "3"}, {"0", kBad, ""}, {"10", kBad, ""}, {"", kBad, ""}});
}

TEST(Rules, TextCodesAreCopiedAndTinTypesNamed) {
    ExpectRule('$', {{"a, \"b\"", kOk, "a, \"b\""}});
    ExpectRule('O', {{"b", kOk, "B"}});
    ExpectRule('E', {{"a", kOk, "a"}});
    ExpectRule('T', {{"", kOk, "N/A"}, {"1", kOk, "EIN"}, {"2", kOk, "SSN"}, {"ssn", kOk, "ssn"}});
}

TEST(Rules, ViewsLeaveUnchangedValuesInPlaceAndOverwriteTheBuffer) {
    // A buffer left long by an earlier value must not show through.
    std::string buffer = "a long value left over from the field before";
    const std::string_view amount = "1234.50";
    std::string_view written, tinType;
    EXPECT_EQ(ApplyRule('C', amount, buffer, written, tinType, 2026), kOk);
    EXPECT_EQ(written.data(), amount.data());
    EXPECT_EQ(written.size(), amount.size());
    const struct {
        char code;
        const char* input;
        const char* written;
        const char* tinType;
    } cases[] = {{'C', "$1,2", "12", ""},
                 {'c', "", "0", ""},
                 {'w', "1,2e+1", "120", ""},
                 {'#', "+1", "1", ""},
                 {'I', "maybe", "MAYBE", ""},
                 {'O', "ab", "AB", ""},
                 {'n', "1-2-3-4-5-6", "1-23--5-6", ""},
                 {'N', "12-3456789", "123456789", "EIN"},
                 {'N', "", "", "N/A"},
                 {'Y', "18", "2018", ""},
                 {'D', "7/4/18", "07042018", ""},
                 {'d', "10523", "01052023", ""},
                 {'u', "7", "07", ""},
                 {'T', "2", "SSN", ""}};
    for (const auto& c : cases) {
        tinType = "stale";
        ApplyRule(c.code, c.input, buffer, written, tinType, 2026);
        EXPECT_EQ(written, c.written) << c.code << " '" << c.input << "'";
        EXPECT_EQ(tinType, c.tinType) << c.code << " '" << c.input << "'";
    }
}

TEST(Rules, CodesSaidToCopyAreCopiedByTheRule) {
    // The verification skips ApplyRule for these codes, so the two must agree.
    std::string buffer;
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        if (!CopiesValue(c)) continue;
        for (std::string_view value : {"", "x", "-1,000", "12-3456789", "maybe", "7/4/18", "0"}) {
            std::string_view written, tinType;
            EXPECT_EQ(ApplyRule(c, value, buffer, written, tinType, 2026), kOk) << code;
            EXPECT_EQ(written.data(), value.data()) << code;
            EXPECT_EQ(tinType, "") << code;
        }
    }
    for (char c : {'$', 'o', 'h', 'p', 'E', 'e', 'k', '9', 'v'}) EXPECT_TRUE(CopiesValue(c)) << c;
    for (char c : {'O', 'T', 'I', 'C', 'w', 'N', 'D', 'u', 'g'}) EXPECT_FALSE(CopiesValue(c)) << c;
}

TEST(Conversions, IntegersAcceptLeadingBlanksAndASignOnly) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {" 12", 12},
        {"+19", 19},
        {"-01", -1},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"12 ", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"0x1A", std::nullopt},
        {"1.0", std::nullopt},
        {"- 1", std::nullopt}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(ToInt32(text), expected) << "'" << text << "'";
}

TEST(Conversions, FloatsSaturateInsteadOfFailing) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::pair<const char*, std::optional<double>> cases[] = {
        {" -2.5e+3 ", -2500.0},
        {"5.", 5.0},
        {".5", 0.5},
        {"+.5E1", 5.0},
        {"0.1", 0.1},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"1.8e308", kInf},
        {"-1e400", -kInf},
        {"1e-400", 0.0},
        {"1e99999999999999999999999", kInf},
        {"0e99999999999999999999999", 0.0},
        {"000000000000000000000000000012e-21", 12e-21},
        {"", std::nullopt},
        {".", std::nullopt},
        {".e1", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"1 5", std::nullopt},
        {"1.2.3", std::nullopt},
        {"inf", std::nullopt},
        {"0x10", std::nullopt}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(ToDouble(text), expected) << "'" << text << "'";
}

TEST(Conversions, CurrencyRoundsHalfToEvenAtTheFourthDecimal) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"1.23455", 12346},
        {"1.23445", 12344},
        {"1.234450001", 12345},
        {"-1.23465", -12346},
        {"0.00005", 0},
        {"0.00015", 2},
        {"1e-5", 0},
        {"12.5e-1", 12500},
        {"123456789012345678901234567890e-30", 1235},
        {"922337203685477.58074", 9223372036854775807},
        {"922337203685477.58075", std::nullopt},
        {"-922337203685477.58085", kMin},
        {"-922337203685477.58086", std::nullopt},
        {"1e14", 1000000000000000000},
        {"1e15", std::nullopt},
        {"1e9999999999999999999", std::nullopt},
        {"1e-9999999999999999999", 0},
        {"-0", 0},
        {"", std::nullopt},
        {"$5", std::nullopt},
        // Around the limits of the plain reading (14 integral, 4 fraction digits).
        {"99999999999999.9999", 999999999999999999},
        {"999999999999999.9999", std::nullopt},
        {"-99999999999999", -999999999999990000},
        {"12.3456", 123456},
        {"12.34565", 123456},
        {"12.34575", 123458},
        {"-.5", -5000},
        {"7.", 70000},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"-.", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1-", std::nullopt},
        {"00000000000000000001.5", 15000}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ToCurrency(text), expected) << "'" << text << "'";
        EXPECT_EQ(IsCurrencyText(text), expected.has_value()) << "'" << text << "'";
    }
    for (const char* plain : {"0", "-12.5", "99999999999999.9999", ".5", "7."})
        EXPECT_TRUE(IsPlainAmount(plain)) << plain;
    for (const char* other : {"", "+1", "-", "1e3", "999999999999999", "1.23456", " 1", "1,000"})
        EXPECT_FALSE(IsPlainAmount(other)) << other;
}

TEST(Conversions, DatePartsAndTheCenturyWindow) {
    struct DateCase {
        const char* text;
        int currentYear;
        int year, month, day;  // year 0: no date
    };
    const DateCase cases[] = {{" 1 / 2 / 18 / ", 2026, 2018, 1, 2},
                              {"1/2/", 2026, 2026, 1, 2},
                              {"1/2/7", 2026, 2007, 1, 2},
                              {"1/2/76", 2026, 1976, 1, 2},
                              {"1/2/75", 2026, 2075, 1, 2},
                              {"1/2/99", 2049, 1999, 1, 2},
                              {"1/2/00", 2049, 2000, 1, 2},
                              {"1/2/003", 2026, 3, 1, 2},
                              {"1/2/0018", 2026, 18, 1, 2},
                              {"00012/1/2018", 2026, 2018, 12, 1},
                              {"2/29/2000", 2026, 2000, 2, 29},
                              {"2/29/1900", 2026, 0, 0, 0},
                              {"12345/1/2018", 2026, 0, 0, 0},
                              {"1/2/20185", 2026, 0, 0, 0},
                              {"1/2//", 2026, 0, 0, 0},
                              {"/1/2", 2026, 0, 0, 0},
                              {"1/2 x", 2026, 0, 0, 0},
                              {"1/1/10000", 2026, 0, 0, 0},
                              {"", 2026, 0, 0, 0},
                              {"1/2/18", std::numeric_limits<int>::min(), 0, 0, 0},
                              {"1/2", 10000, 0, 0, 0}};
    for (const DateCase& c : cases) {
        const std::optional<Date> date = ToDate(c.text, c.currentYear);
        ASSERT_EQ(date.has_value(), c.year != 0) << "'" << c.text << "'";
        if (!date) continue;
        EXPECT_EQ(date->year, c.year) << "'" << c.text << "'";
        EXPECT_EQ(date->month, c.month) << "'" << c.text << "'";
        EXPECT_EQ(date->day, c.day) << "'" << c.text << "'";
    }
}

}  // namespace
}  // namespace bq
