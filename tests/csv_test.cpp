// A spreadsheet's CSV as a data extract: the reader, the encodings, and the
// extract bytes and messages of the conversion.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "extract/csv_extract.h"
#include "extract/csv_reader.h"
#include "extract/text_encoding.h"
#include "tests/error_text.h"

namespace bq {
namespace {

using test::ErrorText;

constexpr int k1099A = 13, k1099Misc = 22;

// The values of `records`, a quoted value marked by a leading '^'.
std::vector<std::vector<std::string>> Values(const std::vector<CsvRecord>& records) {
    std::vector<std::vector<std::string>> values;
    for (const CsvRecord& r : records) {
        values.emplace_back();
        for (const CsvField& f : r) values.back().push_back((f.quoted ? "^" : "") + f.value);
    }
    return values;
}

std::vector<std::vector<std::string>> Read(std::string_view text, char delimiter = ',',
                                           CsvBreaks breaks = CsvBreaks::Any) {
    std::vector<CsvRecord> records;
    ForEachCsvRecord(text, {delimiter, breaks}, "d.csv",
                     [&records](const CsvRecord& r) { records.push_back(r); });
    return Values(records);
}

using Rows = std::vector<std::vector<std::string>>;

TEST(CsvReader, QuotedValuesHoldDelimitersBreaksAndDoubledQuotes) {
    EXPECT_EQ(Read("a,\"b,c\",\"d\"\"e\",\"f\r\ng\",,\"\"\r\n", ',', CsvBreaks::CrLf),
              (Rows{{"a", "^b,c", "^d\"e", "^f\r\ng", "", "^"}}));
    EXPECT_EQ(Read("a;\"b;c\tx\";", ';'), (Rows{{"a", "^b;c\tx", ""}}));
    EXPECT_EQ(Read(""), Rows{});
    EXPECT_EQ(Read("\r\n", ',', CsvBreaks::CrLf), Rows{{""}});
}

TEST(CsvReader, SpreadsheetsEndRowsAnyWayAndTheLastOneOptionally) {
    EXPECT_EQ(Read("a,b\nc\rd\r\ne"), (Rows{{"a", "b"}, {"c"}, {"d"}, {"e"}}));
    EXPECT_EQ(Read("a\n\n"), (Rows{{"a"}, {""}}));
    EXPECT_EQ(Read("a\r\n"), Rows{{"a"}});
}

TEST(CsvReader, FaultsNameTheRowAndColumn) {
    const struct {
        const char* text;
        CsvBreaks breaks;
        const char* message;
    } cases[] = {
        {"a,b\r\nc,\"d\r\n", CsvBreaks::Any, "d.csv:2:2: the quoted value is never closed"},
        {"a,b\"c", CsvBreaks::Any,
         "d.csv:1:2: a quote inside a value that is not quoted (quote the value and double the quote)"},
        {"\"a\"b", CsvBreaks::Any, "d.csv:1:1: text after the closing quote"},
        {"a\r\nb,c\nd\r\n", CsvBreaks::CrLf, "d.csv:2:2: a line break other than CR LF"},
        {"a\r\nb\r", CsvBreaks::CrLf, "d.csv:2:1: a line break other than CR LF"},
        {"a\r\nb,c", CsvBreaks::CrLf, "d.csv:2:2: the last row does not end in CR LF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorText([&] {
                      ForEachCsvRecord(c.text, {',', c.breaks}, "d.csv", [](const CsvRecord&) {});
                  }),
                  c.message)
            << c.text;
}

TEST(CsvReader, DelimiterIsToldFromTheFirstRowOutsideQuotes) {
    const struct {
        const char* text;
        char delimiter;
    } cases[] = {
        {"", ','},       {"a", ','},           {"a;b;c,d", ';'},        {"a\tb\tc;d", '\t'},   {"a,b;c", ','},
        {"a;b\tc", ';'}, {"\"a;b;c\",d", ','}, {"a,b\r\nc;d;e;f", ','}, {"\"x\ny;z\";w", ';'},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectDelimiter(c.text), c.delimiter) << c.text;
}

TEST(CsvReader, FieldTextQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvFieldText("Name line 1", ','), "Name line 1");
    EXPECT_EQ(CsvFieldText("Foreign city, province", ','), "\"Foreign city, province\"");
    EXPECT_EQ(CsvFieldText("Foreign city, province", ';'), "Foreign city, province");
    EXPECT_EQ(CsvFieldText("5\" pipe", ','), "\"5\"\" pipe\"");
    EXPECT_EQ(CsvFieldText(" x", ','), "\" x\"");
    EXPECT_EQ(CsvFieldText("a\nb", ','), "\"a\nb\"");
}

TEST(TextEncoding, UnicodeIsToldByItsMarkOrWellFormedBytes) {
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF"
                             "abc"),
              TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("plain"), TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("Jos\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("Jos\xE9"), TextEncoding::Windows1252);
    EXPECT_EQ(DetectEncoding("\xC0\xAF"), TextEncoding::Windows1252);          // overlong '/'
    EXPECT_EQ(DetectEncoding("\xED\xA0\x80"), TextEncoding::Windows1252);      // a surrogate
    EXPECT_EQ(DetectEncoding("\xF4\x90\x80\x80"), TextEncoding::Windows1252);  // above U+10FFFF
    EXPECT_EQ(DetectEncoding("\xE2\x82"), TextEncoding::Windows1252);          // cut short
}

TEST(TextEncoding, Windows1252TakesLatinAndItsOwnPunctuation) {
    EXPECT_EQ(ToWindows1252("Jos\xC3\xA9 \xE2\x82\xAC\xE2\x80\x99\xE2\x80\x94\xC5\xB8\xC2\xA0",
                            TextEncoding::Utf8, "w"),
              "Jos\xE9 \x80\x92\x97\x9F\xA0");
    EXPECT_EQ(ToWindows1252("Jos\xE9\x81", TextEncoding::Windows1252, "w"), "Jos\xE9\x81");
    EXPECT_EQ(ErrorText([] { ToWindows1252("ok \xE2\x9C\x93", TextEncoding::Utf8, "d.csv:2:3 \"City\""); }),
              "d.csv:2:3 \"City\": the character U+2713 \"\xE2\x9C\x93\" cannot be written in Windows-1252");
    EXPECT_EQ(ErrorText([] { ToWindows1252("\xF0\x9F\x98\x80", TextEncoding::Utf8, "w"); }),
              "w: the character U+1F600 \"\xF0\x9F\x98\x80\" cannot be written in Windows-1252");
    EXPECT_EQ(ErrorText([] { ToWindows1252("\xC2\x81", TextEncoding::Utf8, "w"); }),
              "w: the character U+0081 \"\xC2\x81\" cannot be written in Windows-1252");
    EXPECT_EQ(ErrorText([] { ToWindows1252("Jos\xE9", TextEncoding::Utf8, "w"); }),
              "w: byte 0xE9 is not UTF-8 (is the file in Windows-1252?)");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Extract(std::string_view csv, int form = k1099Misc, const CsvOptions& options = {}) {
    return ExtractFromCsv(csv, form, "d.csv", options).bytes;
}

TEST(CsvExtract, SampleSpreadsheetGivesTheTemplatesLayout) {
    const std::string csv = ReadFile(BQ_EXAMPLES_DIR "/1099-MISC.csv");
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(Extract(csv),
              "FORM 1099-MISC\r\nKEY 0401010111000010000001000001000000000000000\r\n{BEGIN DATA}\r\n"
              "Harbor Lane Rentals, LLC\r\n12 Harbor Lane\r\nPortland\r\nME\r\n04101\r\n12-3456789\r\n"
              "1,250.00\r\n\r\n"
              "Jane Q. Sample\r\n400 Elm St, Apt \"B\"\r\nSpringfield\r\nIL\r\n62701\r\n123-45-6789\r\n\r\n"
              "4800.00\r\n{END DATA}\r\n");
}

TEST(CsvExtract, ColumnsInAnyOrderAreWrittenInFieldOrder) {
    // Semicolons, a byte order mark, headers in any letter case and
    // spacing, a field index, and UTF-8 text written as Windows-1252.
    const CsvExtract e = ExtractFromCsv(
        "\xEF\xBB\xBF  RENTS ;taxpayer   ID;#0\r\n\"1.250,00\";012345678;Jos\xC3\xA9 \xE2\x80\x9C"
        "A\xE2\x80\x9D\r\n",
        k1099Misc, "d.csv");
    EXPECT_EQ(e.bytes,
              "FORM 1099-MISC\r\nKEY 0401000000000010000001000000000000000000000\r\n{BEGIN DATA}\r\n"
              "Jos\xE9 \x93"
              "A\x94\r\n012345678\r\n1.250,00\r\n{END DATA}\r\n");
    EXPECT_EQ(e.headers, (std::vector<std::string>{"#0", "taxpayer   ID", "RENTS"}));
    EXPECT_EQ(e.columns, (std::vector<size_t>{3, 2, 1}));
    // Windows-1252 text is kept byte for byte.
    EXPECT_EQ(
        Extract("Name line 1\nJos\xE9\n"),
        "FORM 1099-MISC\r\nKEY 0401000000000000000000000000000000000000000\r\n{BEGIN DATA}\r\nJos\xE9\r\n"
        "{END DATA}\r\n");
}

TEST(CsvExtract, EmptyRowsAreSkippedAndShortRowsEndInEmptyValues) {
    const CsvExtract e = ExtractFromCsv("Name line 1,,City\n,,\nA\n \t, ,\"\"\n,,B\n\n", k1099Misc, "d.csv");
    EXPECT_EQ(e.bytes,
              "FORM 1099-MISC\r\nKEY 0401000100000000000000000000000000000000000\r\n{BEGIN DATA}\r\n"
              "A\r\n\r\n\r\nB\r\n{END DATA}\r\n");
    EXPECT_EQ(e.recordRows, (std::vector<size_t>{3, 5}));
    EXPECT_EQ(e.skippedRows, (std::vector<size_t>{2, 4, 6}));
    EXPECT_EQ(e.CellOf(2, 2).row, 5u);
    EXPECT_EQ(e.CellOf(2, 2).column, 3u);
    // A header row alone is an extract of no records.
    EXPECT_EQ(Extract("City"),
              "FORM 1099-MISC\r\nKEY 0400000100000000000000000000000000000000000\r\n"
              "{BEGIN DATA}\r\n{END DATA}\r\n");
}

TEST(CsvExtract, DelimiterAndEncodingCanBeForced) {
    // Told from the first row, the delimiter would be the comma.
    CsvOptions options;
    options.delimiter = ';';
    options.encoding = TextEncoding::Windows1252;
    EXPECT_EQ(Extract("Foreign city, province, postal code;City\nA, B;\xC3\xA9\n", k1099Misc, options),
              "FORM 1099-MISC\r\nKEY 0400000100001000000000000000000000000000000\r\n{BEGIN DATA}\r\n"
              "\xC3\xA9\r\nA, B\r\n{END DATA}\r\n");
}

TEST(CsvExtract, RejectionsNameTheirPlace) {
    const struct {
        std::string csv;
        const char* message;
    } cases[] = {
        {"", "d.csv: the file is empty; its first row must name the columns"},
        {",\n", "d.csv:1: the first row names no field of 1099-MISC; it must hold the fields' captions"},
        {"Name,City\n",
         "d.csv:1:1 \"Name\": no field of 1099-MISC has this caption; the closest are \"Name line 1\", "
         "\"Name line 2\" and \"Name control\""},
        {"Taxpayer idd\n",
         "d.csv:1:1 \"Taxpayer idd\": no field of 1099-MISC has this caption; the closest are \"Taxpayer "
         "id\", "
         "\"State 1\" and \"State 2\""},
        {"City,#40\n", "d.csv:1:2 \"#40\": 1099-MISC has the field indexes #0 to #39"},
        {"City,#1000000000000\n", "d.csv:1:2 \"#1000000000000\": 1099-MISC has the field indexes #0 to #39"},
        {"City,State,CITY\n", "d.csv:1:3 \"CITY\": the field \"City\" is already column 1"},
        {"#4,City\n", "d.csv:1:2 \"City\": the field \"City\" is already column 1"},
        {"City,,State\nA,,B\nC,D,E\n", "d.csv:3:2: this column has no header, yet it holds a value"},
        {"City\nA,B\n", "d.csv:2:2: this column has no header, yet it holds a value"},
        {"City,State\nA,\"B\r\nC\"\n", "d.csv:2:2 \"State\": a value cannot hold a line break"},
        {"City,State\nA,\" {end data} \"\n",
         "d.csv:2:2 \"State\": a value cannot be \"{end data}\", which an extract takes for its marker"},
        {"City\n{BEGIN DATA}\n",
         "d.csv:2:1 \"City\": a value cannot be \"{BEGIN DATA}\", which an extract takes for its marker"},
        {std::string("City\nA\0B\n", 9), "d.csv:2:1 \"City\": a value cannot hold a NUL byte"},
        {"City\n\xE2\x9C\x93\n",
         "d.csv:2:1 \"City\": the character U+2713 \"\xE2\x9C\x93\" cannot be written in Windows-1252"},
        {"City\n\"A\"B\n", "d.csv:2:1: text after the closing quote"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorText([&] { Extract(c.csv); }), c.message) << c.csv;
    CsvOptions utf8;
    utf8.encoding = TextEncoding::Utf8;
    EXPECT_EQ(ErrorText([&] { Extract("City\nJos\xE9\n", k1099Misc, utf8); }),
              "d.csv:2:1 \"City\": byte 0xE9 is not UTF-8 (is the file in Windows-1252?)");
}

TEST(CsvExtract, HeaderRowStartsASpreadsheet) {
    std::vector<bool> ticks(40, false);
    ticks[0] = ticks[9] = ticks[11] = true;
    EXPECT_EQ(CsvHeaderRow(k1099Misc, ticks),
              "Name line 1,\"Foreign city, province, postal code\",Taxpayer id\r\n");
    // The row names the same fields again.
    EXPECT_EQ(
        ExtractFromCsv(CsvHeaderRow(k1099A, std::vector<bool>(23, true)), k1099A, "d.csv").columns.size(),
        23u);
}

}  // namespace
}  // namespace bq
