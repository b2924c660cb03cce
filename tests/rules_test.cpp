#include <gtest/gtest.h>

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
        EXPECT_EQ(ApplyRule(code, value, tinType, 2026), c.verdict) << code << " '" << c.input << "'";
        if (c.verdict != Verdict::Rejected) EXPECT_EQ(value, c.written) << code << " '" << c.input << "'";
    }
}

constexpr Verdict kOk = Verdict::Accepted, kBad = Verdict::Rejected, kEmptied = Verdict::Emptied;

TEST(Rules, CurrencyKeepsOrDropsTheSignByCode) {
    ExpectRule('C', {{"$1,234.50", kOk, "1234.50"}, {"-1,000", kOk, "-1000"}, {"", kOk, "0"}, {"1 000", kBad, ""},
                     {"922337203685477.5807", kOk, "922337203685477.5807"}, {"922337203685477.5808", kBad, ""},
                     {"-922337203685477.5808", kOk, "-922337203685477.5808"}, {"1e-5", kOk, "1e-5"},
                     {"1e400", kBad, ""}, {"5.", kOk, "5."}, {".", kBad, ""}, {"abc", kBad, ""}});
    ExpectRule('c', {{"-1,000", kOk, "1000"}, {"+$5", kOk, "5"}});
}

TEST(Rules, WholeNumbersAreRewrittenWhenIntegral) {
    ExpectRule('w', {{"1,200", kOk, "1200"}, {"12.00", kOk, "12"}, {"1e3", kOk, "1000"}, {"12.5", kBad, ""},
                     {"-5", kOk, "-5"}, {"2147483648", kBad, ""}, {"-2147483648", kOk, "-2147483648"},
                     {"", kOk, "0"}, {"$5", kBad, ""}, {"0x1A", kBad, ""}});
}

TEST(Rules, FloatsAreCleanedThenParsed) {
    ExpectRule('#', {{"$1,5.25", kOk, "15.25"}, {"abc", kBad, ""}, {"", kOk, "0"}, {"-2.5E+3", kOk, "-2.5E3"},
                     {"1e", kBad, ""}});
}

TEST(Rules, IndicatorsHaveTwoSpellingsOnly) {
    ExpectRule('I', {{"yes", kOk, "X"}, {"Y", kOk, "X"}, {"true", kOk, "X"}, {"1", kOk, "X"}, {"x", kOk, "X"},
                     {"no", kOk, ""}, {"0", kOk, ""}, {"null", kOk, ""}, {"", kOk, ""}, {"maybe", kBad, ""}});
}

TEST(Rules, SsnAndTinDropTheirDashes) {
    ExpectRule('n', {{"123-45-6789", kOk, "123456789"}, {"123x45y6789", kOk, "123456789"},
                     {"123456789", kOk, "123456789"}, {"12345678", kBad, ""}, {"12345678A", kBad, ""},
                     {"", kOk, ""}});
    struct TinCase {
        const char *input, *written, *tinType;
    };
    for (const TinCase& c : {TinCase{"12-3456789", "123456789", "EIN"}, TinCase{"123-45-6789", "123456789", "SSN"},
                             TinCase{"", "", "N/A"}, TinCase{"123456789", "123456789", ""}}) {
        std::string value = c.input, tinType;
        EXPECT_EQ(ApplyRule('N', value, tinType, 2026), kOk) << c.input;
        EXPECT_EQ(value, c.written);
        EXPECT_EQ(tinType, c.tinType) << c.input;
    }
    std::string value = "12-34", tinType;
    EXPECT_EQ(ApplyRule('N', value, tinType, 2026), kBad);
}

TEST(Rules, YearsBecomeFourDigits) {
    ExpectRule('Y', {{"18", kOk, "2018"}, {"50", kOk, "1950"}, {"0007", kOk, "2007"}, {"0150", kOk, "150"},
                     {"2018", kOk, "2018"}, {"123", kBad, ""}, {"-1", kBad, ""}, {"", kBad, ""}});
    ExpectRule('y', {{"123", kEmptied, ""}, {"", kOk, ""}, {"49", kOk, "2049"}});
}

TEST(Rules, DatesInEveryLayoutBecomeMmDdYyyy) {
    ExpectRule('D', {{"7/4/18", kOk, "07042018"}, {"07/04/2018", kOk, "07042018"}, {"070418", kOk, "07042018"},
                     {"07042018", kOk, "07042018"}, {"1052018", kOk, "01052018"}, {"12/31", kOk, "12312026"},
                     {"2/29/2024", kOk, "02292024"}, {"2/29/2100", kBad, ""}, {"02/30/2018", kBad, ""},
                     {"01-05-2018", kBad, ""}, {"1/1/0000", kBad, ""}, {"1/1/20180", kBad, ""},
                     {"7/4/75", kOk, "07042075"}, {"7/4/76", kOk, "07041976"}, {"", kBad, ""}});
    ExpectRule('d', {{"02/30/2018", kEmptied, ""}, {"", kOk, ""}});
    ExpectRule('b', {{"13/01/2000", kEmptied, ""}});
}

TEST(Rules, DeliveryPointsAndWagerCodes) {
    ExpectRule('u', {{"5", kOk, "05"}, {"99", kOk, "99"}, {"100", kBad, ""}, {"-1", kBad, ""}, {"", kOk, ""}});
    ExpectRule('g', {{"3", kOk, "3"}, {"0", kBad, ""}, {"10", kBad, ""}, {"", kBad, ""}});
}

TEST(Rules, TextCodesAreCopiedAndTinTypesNamed) {
    ExpectRule('$', {{"a, \"b\"", kOk, "a, \"b\""}});
    ExpectRule('O', {{"b", kOk, "B"}});
    ExpectRule('E', {{"a", kOk, "a"}});
    ExpectRule('T', {{"", kOk, "N/A"}, {"1", kOk, "EIN"}, {"2", kOk, "SSN"}, {"ssn", kOk, "ssn"}});
}

TEST(Conversions, IntegersAcceptLeadingBlanksAndASignOnly) {
    EXPECT_EQ(ToInt32(" 12"), 12);
    EXPECT_EQ(ToInt32("+19"), 19);
    EXPECT_EQ(ToInt32("-01"), -1);
    EXPECT_EQ(ToInt32("12 "), std::nullopt);
    EXPECT_EQ(ToInt32(""), std::nullopt);
    EXPECT_EQ(ToInt32("-"), std::nullopt);
    EXPECT_EQ(ToInt32("99999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace bq
