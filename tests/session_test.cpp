// The verification session: the checks in their order, their messages, and
// the rows a verified extract gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/error_text.h"
#include "tests/samples.h"
#include "verify/verification_session.h"

namespace bq {
namespace {

class Session : public ::testing::Test {
  protected:
    // Loads `text` as the extract C:\data\x.txt and runs every check.
    void Verify(const std::string& text, VerifyOptions options = {}) {
        session.SetExtractFile("C:\\data\\x.txt");
        session.LoadExtractText(text);
        if (!options.currentYear) options.currentYear = 2026;
        output.clear();
        options.output = [this](std::string_view bytes) { output += bytes; };
        session.Verify(options);
    }
    // The output lines written, without their CR LF.
    std::vector<std::string> OutputLines() const {
        std::vector<std::string> lines;
        for (size_t at = 0; at < output.size();) {
            const size_t end = output.find("\r\n", at);
            lines.push_back(output.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    std::string ErrorOf(const std::string& text) {
        return test::ErrorText([&] { Verify(text); });
    }
    VerificationSession session;
    std::string output;
};

using test::k1098EHead;

TEST_F(Session, ConvertsTheWorkedExample) {
    Verify(k1098EHead +
           "TEST STUDENT ONE\r\n000000001\r\n125.00\r\nTEST STUDENT TWO\r\n00-0000002\r\n0.00\r\n{END "
           "DATA}\r\n");
    EXPECT_EQ(session.FormName(), "1098-E");
    EXPECT_EQ(session.Selection().CountChecked(), 3u);
    EXPECT_EQ(OutputLines(),
              (std::vector<std::string>{"\"TEST STUDENT ONE\",,,,,,,,,,N/A,000000001,,,125.00,,,,",
                                        "\"TEST STUDENT TWO\",,,,,,,,,,EIN,000000002,,,0.00,,,,"}));
}

TEST_F(Session, HeaderFaultsHaveTheirOwnMessages) {
    const std::string at = "\r\n\r\nEXTRACT = C:\\data\\x.txt";
    EXPECT_EQ(ErrorOf(""), "FORM segment not found." + at);
    EXPECT_EQ(ErrorOf("  FORM 1099-MISC\r\n"), "FORM segment not found." + at);
    EXPECT_EQ(ErrorOf("FORM 1099-XYZ\r\n"), "FORM 1099-XYZ not found." + at);
    EXPECT_EQ(ErrorOf("FORM \r\n"), "FORM  not found." + at);
    EXPECT_EQ(ErrorOf("FORM Clients\r\n"), "FORM CLIENTS not found." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\n"), "KEY segment not found." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 12\r\n"), "Bad KEY segment." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 00310\r\n"), "KEY segment checksum error." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 003\r\n"), "KEY segment checksum error." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY -01\r\n"), "KEY segment checksum error." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 003101\r\n"), "1098-E (2018) checksum error in KEY segment." + at);
    // A blank is 0x20 only: a tab inside the count is no part of a number.
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY \t191000000000010010000\r\n"), "KEY segment checksum error." + at);
    EXPECT_EQ(ErrorOf(k1098EHead), "{END DATA} not found." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA} \r\n{END DATA}\r\n"),
              "{BEGIN DATA} not found." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 0191000000000010010000\r\n{END DATA}\r\n{BEGIN DATA}\r\n"),
              "{END DATA} precedes {BEGIN DATA}." + at);
    EXPECT_EQ(ErrorOf("FORM 1098-E\r\nKEY 0190000000000000000000\r\n{BEGIN DATA}\r\n{END DATA}\r\n"),
              "No fields selected?" + at);
    EXPECT_EQ(ErrorOf(k1098EHead + "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n{END DATA}\r\n"),
              "Field allocation error.\r\n\r\nTotal fields required per record = 3\r\n\r\nis not an integral "
              "factor "
              "of\r\n\r\nTotal fields recorded in this extract = 7" +
                  at);
}

TEST_F(Session, BadValueNamesRecordOrdinalCaptionAndRawLine) {
    // Fields 2 and 5 of 1099-MISC are free text; field 11 is the TIN.
    std::string flags(40, '0');
    flags[2] = flags[11] = '1';
    std::string text = "form 1099-misc\r\nkey 040" + flags + "\r\n{begin data}\r\n";
    for (int r = 1; r <= 3; ++r) text += "street\r\n123456789\r\n";
    text += "street\r\n 12-34 \r\n{END DATA}\r\nlines after the end are ignored\r\n";
    EXPECT_EQ(ErrorOf(text),
              "EXTRACT = C:\\data\\x.txt\r\n\r\nRecord # 4, Field # 2\r\nDestination field "
              "\"Taxpayer id\" maps to an invalid TIN \" 12-34 \"");
    EXPECT_EQ(session.OutputRowCount(), 3u);
    EXPECT_EQ(session.Selection().Fields()[11].checked, true);

    // With the TIN type ticked too, the rows before the bad amount are written whole.
    flags[2] = '0';
    flags[10] = flags[18] = '1';
    EXPECT_EQ(
        ErrorOf("FORM 1099-MISC\r\nKEY 040" + flags + "\r\n{BEGIN DATA}\r\n1\r\n123-45-6789\r\n5\r\n" +
                "2\r\n12-3456789\r\nabc\r\n{END DATA}\r\n"),
        "EXTRACT = C:\\data\\x.txt\r\n\r\nRecord # 2, Field # 3\r\nDestination field \"Rents\" maps to an "
        "invalid currency value \"abc\"");
    EXPECT_EQ(OutputLines(),
              std::vector<std::string>{
                  ",,,,,,,,,,SSN,123456789,,,,,,,5,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,"
                  "0.00,0.00,,0.00,0.00,,0.00,0.00,,,"});
}

TEST_F(Session, ZeroDataLinesGiveNoRowsAndAllModeReportsEveryProblem) {
    Verify(k1098EHead + "{END DATA}\r\n");
    EXPECT_EQ(session.OutputRowCount(), 0u);

    std::vector<ValueProblem> problems;
    VerifyOptions options;
    options.onProblem = [&](const ValueProblem& p) { problems.push_back(p); };
    Verify(k1098EHead + "a\r\nbad\r\nx\r\nb\r\nworse\r\n1\r\n{END DATA}\r\n", options);
    std::vector<std::string> messages;
    for (const ValueProblem& p : problems) messages.push_back(RejectionMessage(session.ExtractFile(), p));
    const std::string at = "EXTRACT = C:\\data\\x.txt\r\n\r\nRecord # ";
    EXPECT_EQ(
        messages,
        (std::vector<std::string>{
            at + "1, Field # 2\r\nDestination field \"Taxpayer id\" maps to an invalid TIN \"bad\"",
            at + "1, Field # 3\r\nDestination field \"Box 1 - Student loan interest received\" maps to "
                 "an invalid currency value \"x\"",
            at + "2, Field # 2\r\nDestination field \"Taxpayer id\" maps to an invalid TIN \"worse\""}));
    EXPECT_EQ(problems[0].rawValue, "bad");
    EXPECT_EQ(problems[1].rejected, "invalid currency value");
    EXPECT_EQ(problems[2].record, 2u);
    EXPECT_EQ(session.OutputRowCount(), 2u);
}

}  // namespace
}  // namespace bq
