#include <gtest/gtest.h>

#include "extract/extract_format.h"
#include "extract/extract_lines.h"
#include "extract/extract_reader.h"
#include "extract/template_text.h"
#include "platform/error.h"
#include "schema/form_fields.h"
#include "tests/samples.h"

namespace bq {
namespace {

using Lines = std::vector<std::string>;

// The lines of `text` as the reader finds them; the walk over a piece of
// the text (which never holds a NUL) must find the same.
Lines Split(const std::string& text) {
    Lines lines = HeadLines(ReadFromText(text), SIZE_MAX);
    const ExtractLines walk(std::string_view(text).substr(0, text.find('\0')));
    EXPECT_EQ(Lines(walk.begin(), walk.end()), lines);
    return lines;
}

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

TEST(ExtractLines, BreaksAreFoundWhereverTheyFall) {
    // Lines of 7 to 9 bytes put the breaks on either side of an eight-byte
    // edge, and a CR LF split by such an edge must still be one break.
    EXPECT_EQ(Split("1234567\r\n12345678\r\n123456789\n12345678901234567"),
              (Lines{"1234567", "12345678", "123456789", "12345678901234567"}));
    EXPECT_EQ(Split("abcdefg\r\nh"), (Lines{"abcdefg", "h"}));
    EXPECT_EQ(Split("abcdefgh\r\r\n\x8a\x8d\x0a\x0d"), (Lines{"abcdefgh", "", "\x8a\x8d", ""}));
    EXPECT_EQ(Split("\t\v\f\x0e\x09\x0b\x0c\x2a\x0a"), Lines{"\t\v\f\x0e\x09\x0b\x0c\x2a"});
}

TEST(ExtractLines, ALineLongerThanManyReadsIsSearchedOnce) {
    // A whole file without breaks: each read used to search the line from its start again.
    const std::string line(64 << 20, 'A');
    EXPECT_EQ(HeadLines(ReadFromText(line + "\r\nKEY\r"), 2), (Lines{line, "KEY"}));
    // Reads grow from 4 KB: a CR LF split by the edge of a read is one break.
    for (const size_t edge : {size_t{4096}, size_t{4096 + 8192}})
        for (size_t size = edge - 3; size <= edge + 1; ++size) {
            const std::string first(size, 'F');
            EXPECT_EQ(HeadLines(ReadFromText(first + "\r\nKEY\r\n"), 2), (Lines{first, "KEY"})) << size;
        }
}

TEST(ExtractLines, SplitsAsAByteByByteReadingDoes) {
    // Texts of breaks and bytes in every mix, from many starts, must split
    // as a plain byte-by-byte reading does.
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

// The records of the data area of `text` read in blocks of `blockBytes`,
// each block's text checked to hold whole records of `n` lines.
Lines Blocks(const std::string& text, size_t n, size_t blockBytes, size_t maxRecords = SIZE_MAX) {
    const DataArea area = FindDataArea(ReadFromText(text));
    RecordBlocks blocks(ReadFromText(text), area, n, blockBytes, maxRecords, "x.txt");
    RecordBlock block;
    Lines pieces;
    while (blocks.Next(block)) {
        const ExtractLines lines(block.Text());
        EXPECT_EQ(static_cast<size_t>(std::distance(lines.begin(), lines.end())), block.records * n);
        pieces.emplace_back(block.Text());
    }
    return pieces;
}

TEST(RecordBlocks, CutWholeRecordsWhateverTheBlockSize) {
    const std::string data = "a\r\nb\r\rc\n\n\r\ndd\re\r\nf\n";  // 9 lines
    const std::string text = "F\r\nK\r\n{BEGIN DATA}\r\n" + data + "{END DATA}\r\n";
    for (size_t size = 1; size <= data.size() + 1; ++size) {
        std::string joined;
        for (const std::string& piece : Blocks(text, 3, size)) joined += piece;
        EXPECT_EQ(joined, data) << size;
    }
    // A CR that ends what was read waits for the next byte: it may be half a CR LF.
    EXPECT_EQ(Blocks(text, 3, 1), (Lines{"a\r\nb\r\r", "c\n\n\r\n", "dd\re\r\nf\n"}));
    EXPECT_EQ(Blocks(text, 9, 4), Lines{data});
    // Short records are cut by their number too.
    EXPECT_EQ(Blocks(text, 1, 1000, 4), (Lines{"a\r\nb\r\rc\n", "\n\r\ndd\re\r\n", "f\n"}));
    EXPECT_EQ(Blocks("F\nK\n{BEGIN DATA}\n{END DATA}\n", 1, 4), Lines{});
}

TEST(RecordBlocks, AnAreaThatChangedAfterItWasCountedIsAnError) {
    const std::string text = "F\nK\n{BEGIN DATA}\na\nb\n{END DATA}\n";
    const DataArea area = FindDataArea(ReadFromText(text));
    for (const std::string& changed :
         {std::string("F\nK\n{BEGIN DATA}\na\nbc{END DATA}\n"), std::string("F\nK\n{BEGIN DATA}\na\n"),
          std::string("F\nK\n{BEGIN DATA}\na\r\r{END DATA}\n")}) {
        RecordBlocks blocks(ReadFromText(changed), area, 1, 2, SIZE_MAX, "/d/x.txt");
        RecordBlock block;
        try {
            while (blocks.Next(block)) {
            }
            ADD_FAILURE() << changed;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Cannot open file \"/d/x.txt\". The file changed while it was read");
        }
    }
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

DataArea AreaOf(const std::string& text) { return FindDataArea(ReadFromText(text)); }

TEST(DataArea, FindsTheFirstMarkersIgnoringCaseOnly) {
    const std::string text =
        "FORM X\r\nKEY 0011\r\n{begin data}\r\na\r\n{BEGIN DATA}\r\n{End Data}\r\n{END DATA}\r\n";
    const DataArea area = AreaOf(text);
    ASSERT_EQ(area.status, DataAreaStatus::Found);
    EXPECT_EQ(area.lineCount, 2u);
    EXPECT_EQ(text.substr(area.first, area.end - area.first), "a\r\n{BEGIN DATA}\r\n");
}

TEST(DataArea, ReportsMissingAndMisorderedMarkers) {
    EXPECT_EQ(AreaOf("F\nK\n{BEGIN DATA} \nx\n{END DATA}\n").status, DataAreaStatus::NoBegin);
    EXPECT_EQ(AreaOf("F\nK\n{BEGIN DATA}\nx\n").status, DataAreaStatus::NoEnd);
    EXPECT_EQ(AreaOf("F\n{END DATA}\n{BEGIN DATA}\nx\n").status, DataAreaStatus::EndBeforeBegin);
    EXPECT_EQ(AreaOf(std::string("F\n{BEGIN DATA}\n\0{END DATA}\n", 28)).status, DataAreaStatus::NoEnd);
    const DataArea empty = AreaOf("F\nK\n{BEGIN DATA}\n{END DATA}\ntrailing\n");
    EXPECT_EQ(empty.status, DataAreaStatus::Found);
    EXPECT_EQ(empty.lineCount, 0u);
    // A marker inside a line, or as the last line without a break.
    const std::string unbroken = "F\nx{BEGIN DATA}\n{BEGIN DATA}\ra\r\rb\n{END DATA}";
    const DataArea last = AreaOf(unbroken);
    EXPECT_EQ(last.status, DataAreaStatus::Found);
    EXPECT_EQ(last.lineCount, 3u);
    EXPECT_EQ(unbroken.substr(last.first), "a\r\rb\n{END DATA}");
}

TEST(DataArea, MarkersAndBreaksAreFoundAcrossTheReadingBlocks) {
    // The pass reads 4 KB, then 64 KB, then a megabyte at a time: markers
    // and CR LF pairs that straddle the edge of a read must count as in one piece.
    for (const size_t edge : {size_t{4096}, size_t{4096 + 65536}, size_t{4096 + 65536 + (1 << 20)}})
        for (size_t at = edge - 20; at <= edge + 4; ++at) {
            std::string text = "F\r\nK\r\n";
            text += std::string(at - text.size() - 2, 'p') + "\r\n";
            text += "{BEGIN DATA}\r\n\r\n\r\n{END DATA}\r\n";
            const DataArea area = AreaOf(text);
            ASSERT_EQ(area.status, DataAreaStatus::Found) << at;
            EXPECT_EQ(area.first, at + 14) << at;
            EXPECT_EQ(area.lineCount, 2u) << at;
            EXPECT_EQ(text.substr(area.end), "{END DATA}\r\n") << at;
        }
}

TEST(TemplateText, ListsTickedCaptionsInFieldOrderAndTheInstructions) {
    std::vector<std::string> captions;
    for (const auto& d : test::FieldsOf(11)) captions.emplace_back(CaptionOf(d));
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
