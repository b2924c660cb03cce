#include <gtest/gtest.h>

#include "extract/extract_format.h"
#include "extract/extract_lines.h"
#include "extract/template_text.h"
#include "schema/form_fields.h"

namespace bq {
namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const ExtractLines& lines) { return Lines(lines.begin(), lines.end()); }
Lines Split(std::string text) { return LinesOf(ExtractLines(std::move(text))); }

TEST(ExtractLines, EndAtCrLfLoneLfAndLoneCr) {
    EXPECT_EQ(Split("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(Split("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("\r\r\r"), (Lines{"", "", ""}));
}

TEST(ExtractLines, FinalBreakIsOptionalAndAddsNoLine) {
    EXPECT_EQ(Split("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(Split("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Split("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(Split(""), Lines{});
    EXPECT_EQ(Split("\n"), Lines{""});
}

TEST(ExtractLines, NulEndsTheText) {
    EXPECT_EQ(Split(std::string("a\r\nb\0c\r\nd", 9)), (Lines{"a", "b"}));
    EXPECT_EQ(Split(std::string("\0abc", 4)), Lines{});
}

TEST(ExtractLines, BytesAboveAsciiAreKept) {
    EXPECT_EQ(Split("Jos\xe9\r\n\xff\xfe"), (Lines{"Jos\xe9", "\xff\xfe"}));
}

TEST(ExtractLines, BreaksAreFoundAcrossEightByteWordsAndTheTail) {
    // Lines of 7 to 9 bytes put the breaks on either side of a word edge,
    // and a CR LF split by the edge must still be one break.
    EXPECT_EQ(Split("1234567\r\n12345678\r\n123456789\n12345678901234567"),
              (Lines{"1234567", "12345678", "123456789", "12345678901234567"}));
    EXPECT_EQ(Split("abcdefg\r\nh"), (Lines{"abcdefg", "h"}));
    EXPECT_EQ(Split("abcdefgh\r\r\n\x8a\x8d\x0a\x0d"), (Lines{"abcdefgh", "", "\x8a\x8d", ""}));
    EXPECT_EQ(Split("\t\v\f\x0e\x09\x0b\x0c\x2a\x0a"), Lines{"\t\v\f\x0e\x09\x0b\x0c\x2a"});
}

TEST(ExtractLines, SplitsAsAByteByByteReadingDoes) {
    // Breaks are found several bytes at a time; texts of breaks and bytes in
    // every mix, from many starts, must split as a byte-by-byte reading does.
    const auto bytewise = [](std::string_view text) {
        Lines lines;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = at;
            while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
            lines.emplace_back(text.substr(at, end - at));
            at = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        }
        return lines;
    };
    std::uint32_t seed = 2018;
    const auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const size_t size = next() % 300;
        const unsigned breakEvery = 2 + next() % 40;
        for (size_t i = 0; i < size; ++i) {
            const unsigned pick = next() % breakEvery;
            text += pick == 0 ? '\r' : pick == 1 ? '\n' : static_cast<char>("ab\x8a\x8d\x0b\x0c"[next() % 6]);
        }
        for (size_t from = 0; from < std::min<size_t>(size, 70); from += 7)
            ASSERT_EQ(Split(text.substr(from)), bytewise(std::string_view(text).substr(from)))
                << round << " " << from;
    }
    const std::string edge =
        std::string(63, 'x') + "\r\n" + std::string(64, 'y') + "\r" + std::string(62, 'z') + "\n";
    EXPECT_EQ(Split(edge), (Lines{std::string(63, 'x'), std::string(64, 'y'), std::string(62, 'z')}));
}

TEST(ExtractLines, SearchAndCountAgreeWithTheWalk) {
    const ExtractLines lines("x{END DATA}\r\n{End Data} \r\nA\r\n\r\nB\rC\n{end data}");
    // The line number a search lands on; 7 (the line count) for none.
    const auto lineOf = [&lines](std::string_view text) {
        return std::distance(lines.begin(), lines.FindLineIgnoringCase(text));
    };
    EXPECT_EQ(lineOf("{END DATA}"), 6);
    EXPECT_EQ(lineOf("{END DATA} "), 1);
    EXPECT_EQ(lineOf("{END DATA}  "), 7);
    EXPECT_EQ(lineOf("b"), 4);
    EXPECT_EQ(lineOf(""), 3);
    const auto last = lines.FindLineIgnoringCase("{END DATA}");
    EXPECT_EQ(lines.CountLines(lines.begin(), last), 6u);
    EXPECT_EQ(lines.CountLines(lines.begin(), lines.end()), 7u);
    EXPECT_EQ(lines.CountLines(last, last), 0u);
    const ExtractLines unbroken("a\r\nb");
    EXPECT_EQ(unbroken.CountLines(unbroken.begin(), unbroken.end()), 2u);
}

TEST(ExtractLines, KeepRangeSurvivesAMove) {
    ExtractLines lines("h1\r\nh2\r\nx\r\ny\r\nend");
    auto first = std::next(lines.begin(), 2), last = std::next(lines.begin(), 4);
    lines.KeepRange(first, last);
    ExtractLines moved = std::move(lines);
    EXPECT_EQ(LinesOf(moved), (Lines{"x", "y"}));
}

TEST(FormSegment, UpperCasesAndDropsOnlyTheFirstBlank) {
    EXPECT_EQ(FormNameOfLine("form 1099-misc"), "1099-MISC");
    EXPECT_EQ(FormNameOfLine("FORM 1099-MISC \t"), "1099-MISC");
    EXPECT_EQ(FormNameOfLine("FORM  1099-MISC"), " 1099-MISC");
    EXPECT_EQ(FormNameOfLine("FORM Clients"), "CLIENTS");
    EXPECT_EQ(FormNameOfLine(" FORM 1099-MISC"), std::nullopt);
    EXPECT_EQ(FormNameOfLine("FORM\t1099-MISC"), std::nullopt);
    EXPECT_EQ(FormNameOfLine("FORM"), std::nullopt);
    EXPECT_EQ(FormNameOfLine("FORM "), "");
    EXPECT_EQ(FormNameOfLine("form \t\x01"), "");
}

TEST(KeySegment, SplitsCountAndFlags) {
    KeyParts key;
    EXPECT_EQ(SplitKeyLine("key 003101 ", key), KeyLineStatus::Ok);
    EXPECT_EQ(key.countText, "003");
    EXPECT_EQ(key.flags, "101");
    EXPECT_EQ(SplitKeyLine("KEY 003", key), KeyLineStatus::Ok);
    EXPECT_EQ(key.flags, "");
    EXPECT_EQ(SplitKeyLine("KEY 12", key), KeyLineStatus::TooShort);
    EXPECT_EQ(SplitKeyLine("KEY", key), KeyLineStatus::NotFound);
    EXPECT_EQ(SplitKeyLine("KEYS 003101", key), KeyLineStatus::NotFound);
}

TEST(KeySegment, WriterPadsTheCountToThreeDigits) {
    EXPECT_EQ(KeyLine("1000000000010010000"), "KEY 0191000000000010010000");
    EXPECT_EQ(KeyLine(std::string(98, '1')), "KEY 098" + std::string(98, '1'));
}

TEST(DataArea, FindsTheFirstMarkersIgnoringCaseOnly) {
    const ExtractLines lines(
        "FORM X\r\nKEY 0011\r\n{begin data}\r\na\r\n{BEGIN DATA}\r\n{End Data}\r\n{END DATA}\r\n");
    const DataArea area = FindDataArea(lines);
    ASSERT_EQ(area.status, DataAreaStatus::Found);
    EXPECT_EQ(area.lineCount, 2u);
    EXPECT_EQ(*area.first, "a");
    EXPECT_EQ(*area.last, "{End Data}");
}

TEST(DataArea, ReportsMissingAndMisorderedMarkers) {
    EXPECT_EQ(FindDataArea(ExtractLines("F\nK\n{BEGIN DATA} \nx\n{END DATA}\n")).status,
              DataAreaStatus::NoBegin);
    EXPECT_EQ(FindDataArea(ExtractLines("F\nK\n{BEGIN DATA}\nx\n")).status, DataAreaStatus::NoEnd);
    EXPECT_EQ(FindDataArea(ExtractLines("F\n{END DATA}\n{BEGIN DATA}\nx\n")).status,
              DataAreaStatus::EndBeforeBegin);
    const DataArea empty = FindDataArea(ExtractLines("F\nK\n{BEGIN DATA}\n{END DATA}\ntrailing\n"));
    EXPECT_EQ(empty.status, DataAreaStatus::Found);
    EXPECT_EQ(empty.lineCount, 0u);
    // A marker inside a line, or as the last line without a break.
    const ExtractLines unbroken("F\nx{BEGIN DATA}\n{BEGIN DATA}\ra\r\rb\n{END DATA}");
    const DataArea last = FindDataArea(unbroken);
    EXPECT_EQ(last.status, DataAreaStatus::Found);
    EXPECT_EQ(last.lineCount, 3u);
    EXPECT_EQ(*last.first, "a");
}

TEST(TemplateText, ListsTickedCaptionsInFieldOrderAndTheInstructions) {
    std::vector<std::string> captions;
    for (const auto& d : FormFields(11)) captions.emplace_back(CaptionOf(d));
    std::vector<bool> ticks(captions.size(), false);
    ticks[14] = ticks[0] = ticks[11] = true;
    EXPECT_EQ(TemplateLines("1098-E", captions, ticks, "BQ2018DM"),
              (std::vector<std::string>{
                  "FORM 1098-E",
                  "KEY 0191000000000010010000",
                  "{BEGIN DATA}",
                  "Name line 1",
                  "Taxpayer id",
                  "Box 1 - Student loan interest received",
                  "{END DATA}",
                  "",
                  "INSTRUCTIONS FOR CREATING YOUR DATA EXTRACT",
                  "===========================================",
                  "1. Create a \"new\" text file.",
                  "   Name this file as you like (1098-E_EXTRACT.txt is suggested).",
                  "",
                  "2. Include the FORM, KEY and {BEGIN DATA} segments.",
                  "   These segments must be the first 3 lines of your text file.",
                  "   These segments must be included exactly as shown above.",
                  "",
                  "3. Write recipient records to your file.",
                  "   The first recipient must begin immediately after the {BEGIN DATA} segment.",
                  "   Field values must be written under one another as shown above.",
                  "   Supply only the value of the field; not the field name.",
                  "   Do not omit any field values; field values may be left blank.",
                  "   Recipient records must follow one another in this manner.",
                  "   Do not skip a line between recipient records.",
                  "",
                  "4. Follow the last recipient record with the {END DATA} segment as shown above.",
                  "   Do not skip a line before the {END DATA} segment",
                  "",
                  "5  Close the text file.",
                  "   This is your data extract.",
                  "",
                  "6. In order to merge your data extract with Brisquill, make the following",
                  "   call from your application",
                  "",
                  "   BQ2018DM \"File specification\"",
                  "",
                  "   where",
                  "",
                  "   File specification = the fully qualified file name of your data extract.",
                  "   This is easily implemented using Windows ShellExecute() function.",
              }));
    EXPECT_EQ(TemplateFileBytes({"a", ""}), "a\r\n\r\n");
}

}  // namespace
}  // namespace bq
