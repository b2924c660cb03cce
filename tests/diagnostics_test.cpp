// What bqdm adds for writers of extracts: the warnings about values the
// rules change quietly, the hints, and the lines and codes of layout faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/samples.h"
#include "verify/layout_hints.h"
#include "verify/value_remarks.h"
#include "verify/verification_session.h"

namespace bq {
namespace {

// The code and hint of every warning about `value` of a `typeCode` field, as the rules of 2018 treat it.
std::vector<std::string> RemarksOf(char typeCode, std::string_view value, std::string_view caption = "") {
    std::string buffer;
    std::string_view written, tinType;
    const Verdict verdict = ApplyRule(typeCode, value, buffer, written, tinType, 2026);
    std::vector<Remark> remarks;
    FindRemarks(TraitsOf(typeCode, caption), value, written, verdict, remarks);
    std::vector<std::string> out;
    for (const Remark& r : remarks) out.push_back(std::string(r.code) + ": " + r.hint);
    return out;
}

using Texts = std::vector<std::string>;

TEST(Remarks, SpreadsheetDamageIsNamedWithItsLikelyFix) {
    EXPECT_EQ(RemarksOf('d', "13/01/2018"), Texts{"date-emptied: write the date as MM/DD/YYYY"});
    EXPECT_EQ(
        RemarksOf('d', "42736"),
        Texts{"date-serial: 42736 is the spreadsheet date serial of 01/01/2017; format the column as text "
              "MM/DD/YYYY"});
    EXPECT_EQ(RemarksOf('b', "05/12/72"),
              Texts{"date-far: the two-digit year was read as 2072; write the year with four digits"});
    EXPECT_EQ(RemarksOf('D', "12/31"), Texts{"date-no-year: written as 2026, not 2018; add the year"});
    EXPECT_EQ(RemarksOf('C', "1.234,50"),
              Texts{"decimal-comma: written as 1.23450; use '.' for the decimal point"});
    EXPECT_EQ(RemarksOf('c', "-500.00"), Texts{"sign-dropped: written as 500.00"});
    EXPECT_EQ(
        RemarksOf('C', "1.23E+05"),
        Texts{"exponent: written as 1.23E05; format the column as a number with decimals, not scientific"});
    EXPECT_EQ(RemarksOf('n', "666-12-3456"),
              Texts{"ssn-unissued: area 000, 666 or 900-999, group 00 and serial 0000 are never issued"});
    EXPECT_EQ(RemarksOf('$', "2116", "Zip code"),
              Texts{"leading-zeros: leading zeros may have been lost: 02116?"});
    EXPECT_EQ(RemarksOf('y', "20x8"), Texts{"year-emptied: write the year as YYYY"});
}

TEST(Remarks, CleanValuesGetNone) {
    for (const auto& [code, value] : std::vector<std::pair<char, std::string>>{{'C', "1,234.50"},
                                                                               {'C', "-5.00"},
                                                                               {'c', "0"},
                                                                               {'D', "01/31/2018"},
                                                                               {'b', "05/12/1972"},
                                                                               {'d', ""},
                                                                               {'n', "123-45-6789"},
                                                                               {'N', "12-3456789"},
                                                                               {
                                                                                   '$',
                                                                                   "02116",
                                                                               },
                                                                               {'w', "12"},
                                                                               {'#', "3.5"}})
        EXPECT_EQ(RemarksOf(code, value, "Zip code"), Texts{}) << code << " " << value;
}

TEST(Remarks, RejectedValuesGetTheirLikelyCause) {
    EXPECT_EQ(RejectionHint('N', "1234567"), "leading zeros may have been lost: 001234567?");
    EXPECT_EQ(RejectionHint('D', "43101"),
              "43101 is the spreadsheet date serial of 01/01/2018; format the column as text MM/DD/YYYY");
    EXPECT_EQ(RejectionHint('c', "x"), "expected CURRENCY - Cannot be negative");
}

TEST(LayoutHints, NameTheCauseOfAFault) {
    EXPECT_EQ(FormSegmentHint("\xEF\xBB\xBF"
                              "FORM W-2"),
              "the file starts with a UTF-8 byte-order mark; save it as ANSI (Windows-1252) text");
    EXPECT_EQ(FormSegmentHint("\xFF\xFE"
                              "F"),
              "the file is UTF-16 text; save it as ANSI (Windows-1252) text");
    EXPECT_EQ(UnknownFormHint("W2"), "did you mean FORM W-2?");
    EXPECT_EQ(UnknownFormHint("1099MISC"), "did you mean FORM 1099-MISC?");
    // A line far longer than every name is no slip; its distance is not worked out.
    EXPECT_EQ(UnknownFormHint(std::string(16 << 20, 'W')), "bqdm forms lists the form names");
    EXPECT_EQ(KeyChecksumHint("062", 63), "the KEY declares 062 fields but has 63 flags");
    EXPECT_EQ(
        AllocationHint(3, 7, {9}),
        "7 data lines make 2 records of 3 and 1 line over; empty data lines that may be the extra ones: "
        "line 9");
}

// The code, line and hint of the fault of `text`, or of its first problem when the layout is sound.
std::string FirstProblem(const std::string& text) {
    VerificationSession session;
    session.SetExtractFile("x.txt");
    session.LoadExtractText(text);
    std::string found;
    VerifyOptions options;
    options.currentYear = 2026;
    options.onProblem = [&found](const ValueProblem& p) {
        if (found.empty())
            found = std::string(p.code) + " line " + std::to_string(p.line) + " record " +
                    std::to_string(p.record) + " field " + std::to_string(p.fieldIndex) + ": " + p.hint;
    };
    try {
        session.Verify(options);
    } catch (const ExtractError& e) {
        return std::string(e.code) + " line " + std::to_string(e.line) + ": " + e.hint;
    }
    return found;
}

TEST(Problems, CarryTheLineOfTheExtract) {
    const std::string head = "FORM 1098-E\r\nKEY 0191000000000010010000\r\n";
    EXPECT_EQ(
        FirstProblem(head + "note\r\n{BEGIN DATA}\r\nA\r\n000000001\r\n1\r\nB\r\n12\r\n0\r\n{END DATA}\r\n"),
        "invalid-tin line 9 record 2 field 11: expected TAXPAYER ID NUMBER - Enter as 9 digits, "
        "XX-XXXXXX, or XXX-XX-XXXX");
    EXPECT_EQ(
        FirstProblem(head + "{BEGIN DATA}\r\nA\r\n000000001\r\n1\r\n\r\n{END DATA}\r\n"),
        "field-allocation line 4: 4 data lines make 1 record of 3 and 1 line over; empty data lines that "
        "may be the extra ones: line 7");
    EXPECT_EQ(FirstProblem(head + "{BEGIN DATA}\r\n\r\n\r\n\r\n{END DATA}\r\n"),
              "empty-record line 4 record 1 field -1: blank lines or empty rows? the output gets a record of "
              "defaults for each");
    EXPECT_EQ(FirstProblem("FORM W2\r\n"), "form-unknown line 1: did you mean FORM W-2?");
    EXPECT_EQ(FirstProblem("FORM 1098-E\r\nKEY 019101\r\n"),
              "key-checksum line 2: the KEY declares 019 fields but has 3 flags");
}

// Blank lines at the end of a long extract are one warning, however many
// blocks of records they span, with a hint that counts them all.
TEST(Problems, ARunOfEmptyRecordsIsOneWarningAcrossBlocks) {
    std::string extract = test::k1098EHead + "A\r\n000000001\r\n1\r\n";
    for (int i = 0; i < 9000; ++i) extract += "\r\n\r\n\r\n";
    extract += "B\r\n000000001\r\n1\r\n\r\n\r\n\r\n{END DATA}\r\n";
    for (const size_t threads : {1, 2}) {
        VerificationSession session;
        session.SetExtractFile("E.txt");
        session.LoadExtractText(extract);
        std::vector<std::string> warnings;
        VerifyOptions options;
        options.threads = threads;
        options.onWarning = [&warnings](const ValueProblem& p) {
            warnings.push_back(std::string(p.code) + " record " + std::to_string(p.record) + ": " + p.hint);
        };
        session.Verify(options);
        EXPECT_EQ(warnings,
                  (std::vector<std::string>{
                      "empty-record record 2: so are the 8999 records after it; blank lines or empty "
                      "rows? the output gets a record of defaults for each",
                      "empty-record record 9003: blank lines or empty rows? the output gets a "
                      "record of defaults for each"}))
            << threads << " threads";
        EXPECT_EQ(session.OutputRowCount(), 9003u);
    }
}

}  // namespace
}  // namespace bq
