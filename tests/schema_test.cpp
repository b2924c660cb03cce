#include <gtest/gtest.h>

#include <algorithm>

#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "schema/text.h"
#include "schema/type_codes.h"
#include "tests/samples.h"

namespace bq {
namespace {

TEST(FormFields, CountsMatchTheCatalogue) {
    constexpr int kCounts[kFormCount] = {135, 15, 2,  6,  72, 39, 22, 65, 22, 40, 32, 19, 27,
                                         23,  48, 26, 21, 40, 31, 38, 44, 32, 40, 36, 30, 27,
                                         48,  26, 24, 26, 25, 41, 19, 25, 63, 98, 32};
    int total = 0;
    for (int i = 0; i < kFormCount; ++i) {
        EXPECT_EQ(test::FieldsOf(i).size(), static_cast<size_t>(kCounts[i])) << FormNames[i];
        total += static_cast<int>(test::FieldsOf(i).size());
    }
    EXPECT_EQ(total, 1359);
}

TEST(FormFields, IndexesBeyondTheCatalogueAppendNothing) {
    std::vector<FieldDescriptor> list = {"$kept"};
    for (int i : {37, 100, 127, -1}) GetFormFields(i, list);
    EXPECT_EQ(list, std::vector<FieldDescriptor>{"$kept"});
}

TEST(FormFields, ClientsEndsWithFiftyGeneratedStatePairs) {
    const auto clients = test::FieldsOf(0);
    EXPECT_EQ(clients[34], "$ACA Contact Telephone (XXX-XXX-XXXX)");
    EXPECT_EQ(clients[35], "$State #1");
    EXPECT_EQ(clients[36], "$State #1 ID");
    EXPECT_EQ(clients[53], "$State #10");
    EXPECT_EQ(clients[133], "$State #50");
    EXPECT_EQ(clients[134], "$State #50 ID");
}

TEST(FormFields, SharedBlocksOpenAndCloseTheRecipientForms) {
    const auto e = test::FieldsOf(11);  // 1098-E
    ASSERT_EQ(e.size(), 19u);
    EXPECT_EQ(e[0], "$Name line 1");
    EXPECT_EQ(e[10], "TTIN Type");
    EXPECT_EQ(e[11], "NTaxpayer id");
    EXPECT_EQ(e[14], "cBox 1 - Student loan interest received");
    EXPECT_EQ(e[15], "IBox 2 - Loan origination fees indicator");
    EXPECT_EQ(e[16], "IDo not print indicator");
    EXPECT_EQ(e[18], "$Client ID");
    const auto esa = test::FieldsOf(32);  // 5498-ESA
    EXPECT_EQ(esa[14], "cBox 1 - Coverdell ESA contributions");
    EXPECT_EQ(esa[15], "cBox 2 - Rollover contributions");
    EXPECT_EQ(esa[16], "IDo not print indicator");
}

TEST(FormFields, HealthCoverageListsBeginAsTheFormsDo) {
    const auto f1094 = test::FieldsOf(4);
    EXPECT_EQ(f1094[0], "$Client ID");
    EXPECT_EQ(f1094[1], "IDesignated gov entity indicator");
    EXPECT_EQ(f1094[2], "IAuthoritative transmittal indicator");
    EXPECT_EQ(f1094[3], "wTotal forms filed by ALE member");
    EXPECT_EQ(test::FieldsOf(6), test::FieldsOf(8));  // 1095-B CI and 1095-C CI
}

TEST(FormFields, W2cPairsEveryPreviousValueWithItsCorrection) {
    const auto w2c = test::FieldsOf(35);
    EXPECT_EQ(w2c[0], "YYear corrected");
    const auto captionsOf = [&w2c](char code) {
        std::vector<std::string_view> captions;
        for (std::string_view d : w2c)
            if (TypeCodeOf(d) == code) captions.push_back(CaptionOf(d));
        return captions;
    };
    EXPECT_EQ(captionsOf('T'), std::vector<std::string_view>{});
    EXPECT_EQ(captionsOf('n'), std::vector<std::string_view>{"Correct SSN"});
    EXPECT_EQ(captionsOf('N'), std::vector<std::string_view>{"Incorrect SSN"});
    // Fields 20 to 58 hold the previous values and 59 to 97 their corrections,
    // each pair of one type code: the code, then what both captions name.
    const std::string pairs =
        "Istatutory employee indicator,Iretirement plan indicator,I3rd-party sick pay indicator,cwages,"
        "cfederal income tax,csocial security wages,csocial security tax,cmedicare wages and tips,"
        "cmedicare tax,csocial security tips,callocated tips,cadvanced EIC payments,"
        "cdependent care benefits,cnonqualified plans,$Box 12a code,cBox 12a amount,$Box 12b code,"
        "cBox 12b amount,$Box 12c code,cBox 12c amount,$Box 12d code,cBox 12d amount,$Box 14 line 1,"
        "$Box 14 line 2,$Box 14 line 3,$State 1,$State 1 ID,cState 1 wages,cState 1 income tax,$Local 1,"
        "cLocal 1 wages,cLocal 1 income tax,$State 2,$State 2 ID,cState 2 wages,cState 2 income tax,"
        "$Local 2,cLocal 2 wages,cLocal 2 income tax";
    ASSERT_EQ(w2c.size(), 98u);
    size_t previous = 20, at = 0;
    for (; at < pairs.size(); ++previous) {
        const size_t end = std::min(pairs.find(',', at), pairs.size());
        const std::string code = pairs.substr(at, 1), caption = pairs.substr(at + 1, end - at - 1);
        EXPECT_EQ(w2c[previous], code + "Previous " + caption);
        EXPECT_EQ(w2c[previous + 39], code + "Corrected " + caption);
        at = end + 1;
    }
    EXPECT_EQ(previous, 59u);
}

TEST(FormFields, W2AndW2gEndWithTheirOwnClosingFields) {
    const auto w2 = test::FieldsOf(34);
    EXPECT_EQ(w2.front(), "$File (Control) number");
    const std::vector<FieldDescriptor> tail(w2.end() - 4, w2.end());
    EXPECT_EQ(tail, (std::vector<FieldDescriptor>{"IDo not print indicator", "$Employee ID",
                                                  "$E-Mail address", "$Client ID"}));
    const auto w2g = test::FieldsOf(36);
    EXPECT_EQ(w2g[7], "IForeign address indicator");
    EXPECT_EQ(w2g[12], "$Transaction Number");
    EXPECT_EQ(w2g[15], "gType of wager code (1-9)");
    EXPECT_EQ(w2g.back(), "$Client ID");
}

TEST(FormFields, EveryCodeIsKnownAndCaptionsAreUniqueWithinAForm) {
    for (int i = 0; i < kFormCount; ++i) {
        auto list = test::FieldsOf(i);
        for (const auto& d : list) {
            EXPECT_NE(FindTypeCode(TypeCodeOf(d)), nullptr) << d;
            EXPECT_LE(CaptionOf(d).size(), 67u) << d;
        }
        std::sort(list.begin(), list.end(), [](auto& a, auto& b) { return CaptionOf(a) < CaptionOf(b); });
        EXPECT_EQ(std::adjacent_find(list.begin(), list.end(),
                                     [](auto& a, auto& b) { return CaptionOf(a) == CaptionOf(b); }),
                  list.end())
            << FormNames[i];
    }
}

TEST(FormCatalogue, OnlyVisibleUpperCaseNamesMatch) {
    EXPECT_EQ(FindFormIndex("1099-MISC"), 22);
    EXPECT_EQ(FindFormIndex("CLIENTS"), -1);
    EXPECT_EQ(FindFormIndex(" 1099-MISC"), -1);
    EXPECT_EQ(FindVisibleFormByPrefix("w-2"), 34);
    EXPECT_EQ(FindVisibleFormByPrefix("W-2C"), 35);
    EXPECT_EQ(FindVisibleFormByPrefix("1099-s"), 27);
    EXPECT_EQ(FindVisibleFormByPrefix("clients"), -1);
    EXPECT_EQ(FindVisibleFormByPrefix("X"), -1);
}

TEST(TextHelpers, PadAndCutAsTheMessagesNeed) {
    EXPECT_EQ(ZeroPad(3, "19"), "019");
    EXPECT_EQ(ZeroPad(8, "123456789"), "23456789");
    EXPECT_EQ(ZeroPad(2, ""), "00");
    EXPECT_EQ(ZeroPad(0, "7"), "");
    EXPECT_EQ(Trim(std::string_view("\t\0 a b\r ", 8)), "a b");
    EXPECT_EQ(UpperCaseAscii("abz\xe9"), "ABZ\xe9");
}

// The distance of a slip of the keyboard, and a bound that keeps a huge
// text against a short name cheap: above it, the distance is max + 1.
TEST(TextHelpers, EditDistanceCountsEditsUpToItsBound) {
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(EditDistance("", "W-2"), 3u);
    EXPECT_EQ(EditDistance("W2", "W-2", 1), 1u);
    EXPECT_EQ(EditDistance("kitten", "sitting", 2), 3u);
    EXPECT_EQ(EditDistance(std::string(1 << 20, 'x'), "W-2", 2), 3u);
    EXPECT_EQ(EditDistance("abcdefgh", "hgfedcba", 3), 4u);
}

}  // namespace
}  // namespace bq
