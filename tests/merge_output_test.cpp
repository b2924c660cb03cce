// The merge output: record encoding, output names, the import instructions
// and the output file.
#include "verify/merge_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "schema/text.h"
#include "tests/reference_row.h"
#include "tests/same_bytes.h"
#include "tests/samples.h"
#include "tests/temp_folder.h"
#include "verify/record_builder.h"
#include "verify/verification_session.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

// What follows the name line in a row of a 1098-E extract that supplies only the name.
constexpr std::string_view kNameRowRest = ",,,,,,,,,,N/A,,,,0.00,,,,";

// The registry of a test that does not look at TextDirectory.
struct NoRegistry : Registry {
    void SetTextDirectory(std::string_view) override {}
};

// The line of the current record of `record`.
std::string Encoded(const RecordBuilder& record) {
    std::string line(record.MaxEncodedSize(), '\0');
    line.resize(static_cast<size_t>(record.Encode(line.data()) - line.data()));
    return line;
}

// The line of one record of `values` supplied for fields of `codes` as `flags` say.
std::string RecordLine(std::string_view codes, std::string_view flags,
                       const std::vector<std::string>& values) {
    RecordBuilder record(codes, flags, 2018);
    record.StartRecord();
    for (size_t f = 0; f < values.size(); ++f) record.Put(f, values[f]);
    return Encoded(record);
}

TEST(RecordEncoding, QuotesOnlyWhatTheImportNeedsQuoted) {
    EXPECT_EQ(RecordLine("$$$$$", "11111", {"0.00", "J Doe", "", "N/A", "A\"B"}),
              "0.00,\"J Doe\",,N/A,\"A\"\"B\"");
    // 0xA0 is a no-break space in the ANSI code page, still no reason to quote.
    EXPECT_EQ(RecordLine("$$$$", "1111", {"a,b", "tab\there", "123456789", "Jos\xe9\xa0Mu\xf1oz"}),
              "\"a,b\",\"tab\there\",123456789,Jos\xe9\xa0Mu\xf1oz");
    EXPECT_EQ(RecordLine("$", "1", {""}), "\"\"");
    EXPECT_EQ(RecordLine("$$", "11", {"", ""}), ",");
}

TEST(RecordEncoding, EveryLengthAndPositionIsExaminedAndCopied) {
    // Values are examined in overlapping words: a byte that forces quotes
    // must count wherever it sits, and no byte may be lost or repeated.
    // Bytes that trimming removes can only stand inside a value.
    for (size_t size = 0; size <= 40; ++size) {
        std::string plain;
        for (size_t i = 0; i < size; ++i) plain += static_cast<char>(i % 2 ? '\xe9' : 'a' + i % 26);
        std::vector<std::string> values{plain};
        for (size_t at = 0; at < size; ++at)
            for (char c : {' ', '\t', '\0', '"', ',', '\x21', '\x7f', '\xa0', '\xac'}) {
                if (IsTrimmable(c) && (at == 0 || at + 1 == size)) continue;
                values.push_back(plain);
                values.back()[at] = c;
            }
        for (const std::string& v : values)
            ASSERT_EQ(RecordLine("$", "1", {v}), test::EncodeRow({v})) << size;
    }
}

TEST(RecordEncoding, UntickedDefaultsAreFixedTextAndTheTinTypeIsASlot) {
    // Fields 1 and 5 are supplied; field 2, the TIN type, holds what the TIN yields.
    EXPECT_EQ(RecordLine("C$Tw#N", "010001", {"a b", "12-3456789"}), "0.00,\"a b\",EIN,0,0.00,123456789");
    EXPECT_EQ(RecordLine("C$Tw#N", "010001", {"", "123456789"}), "0.00,,N/A,0,0.00,123456789");
    EXPECT_EQ(RecordLine("Cw", "00", {}), "0.00,0");
    EXPECT_EQ(RecordLine("T$", "01", {"x"}), "N/A,x");
    EXPECT_EQ(RecordLine("$", "1", {"x"}), "x");
    EXPECT_EQ(RecordLine("$$", "10", {""}), ",");
    // Runs of defaults of every length around the copy sizes.
    for (size_t run : {3u, 4u, 12u, 13u, 16u, 17u, 70u}) {
        std::string expected;
        for (size_t i = 0; i < run; ++i) expected += "0,";
        EXPECT_EQ(RecordLine(std::string(run, 'w') + "$" + std::string(run, 'w'),
                             std::string(run, '0') + "1" + std::string(run, '0'), {"x"}),
                  expected + "x," + expected.substr(0, expected.size() - 1))
            << run;
    }
}

TEST(RecordEncoding, ARejectedValueLeavesItsFieldAtTheDefault) {
    RecordBuilder record("NTcI", "1011", 2018);
    record.StartRecord();
    EXPECT_EQ(record.Put(0, "12-3456789"), Verdict::Accepted);
    EXPECT_EQ(record.Put(1, "abc"), Verdict::Rejected);
    EXPECT_EQ(record.Put(2, " yes "), Verdict::Accepted);
    EXPECT_EQ(record.Row(), (std::vector<std::string>{"123456789", "EIN", "0.00", "X"}));
    EXPECT_EQ(record.TinTypeFieldIndex(), 1);
    record.StartRecord();
    EXPECT_EQ(record.Row(), (std::vector<std::string>{"", "N/A", "0.00", ""}));
}

class MergeOutputFile : public test::TempFolder {
  protected:
    // The 1098-E extract `x.txt` whose records supply only the name line, one value each.
    std::string WriteNameExtract(const std::vector<std::string>& names) {
        std::string text = "FORM 1098-E\r\nKEY 0191000000000000000000\r\n{BEGIN DATA}\r\n";
        for (const std::string& name : names) text += name + "\r\n";
        return Write("x.txt", text + "{END DATA}\r\n");
    }
};

TEST_F(MergeOutputFile, RecordsLargerThanABlockStayWhole) {
    const std::string big(3 << 20, 'x');
    const std::string rest(kNameRowRest);
    const std::string expected =
        big + rest + "\r\n" + "b" + rest + "\r\n" + big + rest + "\r\n" + "tail" + rest + "\r\n";
    const std::string extract = WriteNameExtract({big, "b", big, "tail"});
    for (size_t threads : {1u, 2u}) {
        VerificationSession session;
        session.SetExtractFile(extract);
        session.LoadExtract();
        std::string output;
        VerifyOptions options;
        options.output = [&output](std::string_view bytes) { output += bytes; };
        options.threads = threads;
        options.blockBytes = 4096;
        session.Verify(options);
        EXPECT_EQ(session.OutputRowCount(), 4u);
        EXPECT_TRUE(test::SameBytes(output, expected)) << threads;
    }
}

TEST(OutputNames, SitNextToTheExtract) {
    EXPECT_EQ(OutputFileName("/data/w2.txt"), "/data/2018DM_w2.txt");
    EXPECT_EQ(OutputFileName("w2.txt"), "2018DM_w2.txt");
    EXPECT_EQ(
        ImportInstructions("/data/w2.txt", "W-2"),
        "Data Extract \"w2.txt\" has been saved as\r\n\r\nFILE:  2018DM_w2.txt\r\nFOLDER:  /data/\r\n\r\n"
        "This file is now ready for importing!\r\n\r\nIn order to import this file\r\n\r\n- Start "
        "BRISQUILL.\r\n"
        "- Open \"Client (Filer, Entity) Management\" from the \"Module\" menu.\r\n"
        "- Double click the Client (Filer) to be used.\r\n- Select Form \"W-2\" from the \"Forms\" menu.\r\n"
        "- Select \"Import ASCII Text File\" from the \"File\" menu.\r\n"
        "- Browse to the FILE in the FOLDER shown above.\r\n- Click the \"Open\" button.");
}

TEST_F(MergeOutputFile, IsCrLfLinesAndReplacesThePreviousFile) {
    const std::string rest(kNameRowRest);
    NoRegistry registry;
    for (const auto& [names, expected] : {std::pair<std::vector<std::string>, std::string>{
                                              {"a", " b c "}, "a" + rest + "\r\n\"b c\"" + rest + "\r\n"},
                                          std::pair<std::vector<std::string>, std::string>{{}, ""}}) {
        VerificationSession session;
        session.SetExtractFile(WriteNameExtract(names));
        session.LoadExtract();
        MergeOutput output(session);
        output.Verify();
        output.Save(registry);
        EXPECT_EQ(Read(dir / "2018DM_x.txt"), expected);
        EXPECT_EQ(Entries(dir), (std::vector<std::string>{"2018DM_x.txt", "x.txt"}));
    }
}

TEST_F(MergeOutputFile, GoesToTheFolderTheExtractWasReadFrom) {
    // The extract's folder is swapped for a link to another folder between reading and writing.
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "elsewhere");
    const std::string extract = (dir / "data" / "x.txt").string();
    Write("data/x.txt", test::k1098ESample);
    VerificationSession session;
    session.SetExtractFile(extract);
    session.LoadExtract();
    MergeOutput output(session);
    output.Verify();
#ifdef _WIN32
    // Windows holds the folder open: it cannot be renamed away meanwhile.
    std::error_code held;
    fs::rename(dir / "data", dir / "moved", held);
    EXPECT_TRUE(held);
    const fs::path read = dir / "data";
#else
    fs::rename(dir / "data", dir / "moved");
    fs::create_directory_symlink(dir / "elsewhere", dir / "data");
    const fs::path read = dir / "moved";
#endif
    NoRegistry registry;
    output.Save(registry);
    EXPECT_EQ(Read(read / "2018DM_x.txt"), test::k1098ESampleRow);
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

}  // namespace
}  // namespace bq
