#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "verify/merge_output.h"
#include "platform/registry.h"
#include "platform/registry_file.h"
#include "schema/text.h"
#include "tests/reference_row.h"
#include "verify/record_builder.h"
#include "verify/verification_session.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("bq_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    size_t EntryCount() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
    fs::path dir;
};

// Appends one record of `values`, all supplied as free text, to `rows`.
void AppendValues(OutputRows& rows, const std::vector<std::string>& values) {
    RecordBuilder record(std::string(values.size(), '$'), std::string(values.size(), '1'), 2018);
    record.StartRecord();
    for (size_t f = 0; f < values.size(); ++f) record.Put(f, values[f]);
    rows.AppendRow(record);
}

// The line of the current record of `record`.
std::string Encoded(const RecordBuilder& record) {
    std::string line(record.MaxEncodedSize(), '\0');
    line.resize(static_cast<size_t>(record.Encode(line.data()) - line.data()));
    return line;
}

// The line of one record of `values` supplied for fields of `codes` as `flags` say.
std::string RecordLine(std::string_view codes, std::string_view flags, const std::vector<std::string>& values) {
    RecordBuilder record(codes, flags, 2018);
    record.StartRecord();
    for (size_t f = 0; f < values.size(); ++f) record.Put(f, values[f]);
    return Encoded(record);
}

TEST(RecordEncoding, QuotesOnlyWhatTheImportNeedsQuoted) {
    EXPECT_EQ(RecordLine("$$$$$", "11111", {"0.00", "J Doe", "", "N/A", "A\"B"}), "0.00,\"J Doe\",,N/A,\"A\"\"B\"");
    EXPECT_EQ(RecordLine("$$$$", "1111", {"a,b", "tab\there", "123456789", "Jos\xe9"}),
              "\"a,b\",\"tab\there\",123456789,Jos\xe9");
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
        for (const std::string& v : values) ASSERT_EQ(RecordLine("$", "1", {v}), test::EncodeRow({v})) << size;
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

TEST(RecordEncoding, RowsLargerThanAChunkStayWhole) {
    const std::string big(3 << 20, 'x');
    OutputRows rows;
    for (int i = 0; i < 3; ++i) AppendValues(rows, {big, i == 1 ? "b" : ""});
    AppendValues(rows, {"tail"});
    const auto lines = rows.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], big + ",b");
    EXPECT_EQ(lines[2], big + ",");
    EXPECT_EQ(lines[3], "tail");
}

TEST(OutputNames, SitNextToTheExtract) {
    EXPECT_EQ(OutputFileName("/data/w2.txt"), "/data/2018DM_w2.txt");
    EXPECT_EQ(OutputFileName("w2.txt"), "2018DM_w2.txt");
    EXPECT_EQ(ImportInstructions("/data/w2.txt", "W-2"),
              "Data Extract \"w2.txt\" has been saved as\r\n\r\nFILE:  2018DM_w2.txt\r\nFOLDER:  /data/\r\n\r\n"
              "This file is now ready for importing!\r\n\r\nIn order to import this file\r\n\r\n- Start BRISQUILL.\r\n"
              "- Open \"Client (Filer, Entity) Management\" from the \"Module\" menu.\r\n"
              "- Double click the Client (Filer) to be used.\r\n- Select Form \"W-2\" from the \"Forms\" menu.\r\n"
              "- Select \"Import ASCII Text File\" from the \"File\" menu.\r\n"
              "- Browse to the FILE in the FOLDER shown above.\r\n- Click the \"Open\" button.");
}

TEST_F(TempFolder, OutputIsCrLfLinesAndReplacesThePreviousFile) {
    OutputRows rows;
    AppendValues(rows, {"a", "b c"});
    AppendValues(rows, {""});
    const fs::path out = dir / "out.txt";
    WriteMergeOutput(out.string(), rows);
    EXPECT_EQ(ReadBytes(out), "a,\"b c\"\r\n\"\"\r\n");
    WriteMergeOutput(out.string(), OutputRows{});
    EXPECT_EQ(ReadBytes(out), "");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TempFolder, FailedWriteKeepsThePreviousOutputAndLeavesNoTemporary) {
    const fs::path out = dir / "out.txt";
    WriteFileAtomically(out.string(), "old");
    try {
        WriteFileAtomically(out.string(), [](const ByteSink& sink) {
            sink("partial");
            throw Error("Cannot create file \"x\". No space left on device");
        });
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot create file \"x\". No space left on device");
    }
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(EntryCount(), 1u);

    fs::create_directory(dir / "taken");
    try {
        WriteFileAtomically((dir / "taken").string(), "x");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + (dir / "taken").string() + "\". Is a directory");
    }
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(TempFolder, AWriteRemovesNothingItDidNotMake) {
    // Names a writer of another user, another process or another pid namespace might use.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::vector<std::string> others = {".~out.txt." + std::to_string(gone) + ".3.tmp", ".~bqaaaaaaaaaa.tmp",
                                             "~out.txt.1.0.tmp"};
    for (const std::string& name : others) std::ofstream(dir / name) << "partial";
    WriteFileAtomically((dir / "out.txt").string(), "new");
    for (const std::string& name : others) EXPECT_EQ(ReadBytes(dir / name), "partial") << name;
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "new");
    EXPECT_EQ(EntryCount(), others.size() + 1);
}

TEST_F(TempFolder, FileSizeLimitMidWriteKeepsThePreviousOutput) {
    const fs::path out = dir / "out.txt";
    WriteFileAtomically(out.string(), "old");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        WriteFileAtomically(out.string(), std::string(100000, 'x'));
    } catch (const Error& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(message, "Cannot create file \"" + out.string() + "\". File too large");
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TempFolder, ReadingRefusesWhatIsNoRegularFile) {
    const std::string missing = (dir / "none.txt").string();
    try {
        ReadWholeFile(missing);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing + "\". No such file or directory");
    }
    try {
        ReadWholeFile(dir.string());
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.string() + "\". Is a directory");
    }
    if (fs::exists("/dev/zero")) {
        EXPECT_THROW(ReadWholeFile("/dev/zero"), Error);
    }
}

TEST(RegistryFile, SetsTheOneValueAndKeepsEverythingElse) {
    const std::string section(kImportSection);
    EXPECT_EQ(*WithRegString("", section, "TextDirectory", "/d/"),
              "REGEDIT4\n\n[" + section + "]\n\"TextDirectory\"=\"/d/\"\n");
    // A CR LF store stays CR LF.
    const std::string other = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n";
    EXPECT_EQ(*WithRegString(other, section, "TextDirectory", "C:\\x\""),
              other + "\r\n[" + section + "]\r\n\"TextDirectory\"=\"C:\\\\x\\\"\"\r\n");
    const std::string existing = "REGEDIT4\n\n[" + section + "]\n\"Keep\"=\"k\"\n\"textdirectory\"=\"old\"\n[Next]\nx\n";
    EXPECT_EQ(*WithRegString(existing, section, "TextDirectory", "new"),
              "REGEDIT4\n\n[" + section + "]\n\"Keep\"=\"k\"\n\"TextDirectory\"=\"new\"\n[Next]\nx\n");
    const std::string hex = "[" + section + "]\n\"TextDirectory\"=hex:2f,\\\n  61,2f\n\"B\"=\"2\"\n";
    EXPECT_EQ(*WithRegString(hex, section, "TextDirectory", "/d/"),
              "[" + section + "]\n\"TextDirectory\"=\"/d/\"\n\"B\"=\"2\"\n");
    const std::string stray = "[" + section + "]\n\"TextDirectory\"=hex:2f,\\\n[Next]\n\"C\"=\"3\"\n";
    EXPECT_EQ(*WithRegString(stray, section, "TextDirectory", "/d/"),
              "[" + section + "]\n\"TextDirectory\"=\"/d/\"\n[Next]\n\"C\"=\"3\"\n");
    EXPECT_EQ(WithRegString("", section, "TextDirectory", "a\nb"), std::nullopt);
}

TEST_F(TempFolder, RegistryStoreReportsAFolderThatIsAFile) {
    std::ofstream(dir / "BRISQUILL") << "not a folder";
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    try {
        OpenUserRegistry()->SetTextDirectory("/d/");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Failed to create key Import\\BQ2018");
    }
    fs::remove(dir / "BRISQUILL");
    OpenUserRegistry()->SetTextDirectory("/d/");
    EXPECT_EQ(ReadBytes(dir / "BRISQUILL" / "HKCU.reg"),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\BRISQUILL\\Import\\BQ2018]\n\"TextDirectory\"=\"/d/\"\n");
    try {
        OpenUserRegistry()->SetTextDirectory("/a\nb/");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'TextDirectory'");
    }
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(TempFolder, OutputGoesToTheFolderTheExtractWasReadFrom) {
    // The extract's folder is swapped for a link to another folder between reading and writing.
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "elsewhere");
    const std::string extract = (dir / "data" / "x.txt").string();
    std::ofstream(extract, std::ios::binary)
        << "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\nONE\r\n000000001\r\n125.00\r\n{END DATA}\r\n";
    VerificationSession session;
    session.SetExtractFile(extract);
    session.LoadExtract();
    session.Verify();
    fs::rename(dir / "data", dir / "moved");
    fs::create_directory_symlink(dir / "elsewhere", dir / "data");
    struct : Registry {
        void SetTextDirectory(std::string_view) override {}
    } registry;
    SaveMergeOutput(extract, session.FormName(), session.Rows(), registry, session.ExtractFolder());
    EXPECT_EQ(ReadBytes(dir / "moved" / "2018DM_x.txt"), "ONE,,,,,,,,,,N/A,000000001,,,125.00,,,,\r\n");
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

TEST(Paths, TheFolderEndsAtASeparatorCharacterNotATrailByte) {
    // In code page 932, 0x83 0x5C is one character whose second byte is a backslash.
    const auto cp932 = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    };
    const std::string path = "C:\\Data\\\x83\x5C\\x.txt";
    EXPECT_EQ(path.substr(0, FolderLength(path, "\\/:", cp932)), "C:\\Data\\\x83\x5C\\");
    EXPECT_EQ(path.substr(0, FolderLength("C:\\\x83\x5Cx.txt", "\\/:", cp932)), "C:\\");
    EXPECT_EQ(FolderLength("\x83\x5C", "\\/:", cp932), 0u);
    EXPECT_EQ(FolderLength("a\\\x83", "\\/:", cp932), 2u);  // a lead byte at the end stands alone
    EXPECT_EQ(FolderLength("C:\\M\xfcller\\x.txt", "\\/:", [](char) { return false; }), 10u);
}

}  // namespace
}  // namespace bq
