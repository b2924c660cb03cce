#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "extract/error.h"
#include "extract/file_io.h"
#include "verify/merge_output.h"
#include "verify/registry.h"
#include "verify/registry_file.h"
#include "tests/test_platform.h"

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

TEST(RowEncoding, QuotesOnlyWhatTheImportNeedsQuoted) {
    EXPECT_EQ(EncodeRow({"0.00", "J Doe", "", "N/A", "A\"B"}), "0.00,\"J Doe\",,N/A,\"A\"\"B\"");
    EXPECT_EQ(EncodeRow({"a,b", "tab\there", "123456789", "Jos\xe9"}), "\"a,b\",\"tab\there\",123456789,Jos\xe9");
    EXPECT_EQ(EncodeRow({""}), "\"\"");
    EXPECT_EQ(EncodeRow({"", ""}), ",");
    EXPECT_EQ(EncodeRow({}), "");
}

TEST(RowEncoding, EveryLengthAndPositionIsExaminedAndCopied) {
    // Values are examined in overlapping words: a byte that forces quotes
    // must count wherever it sits, and no byte may be lost or repeated.
    const auto expected = [](const std::string& v) {
        bool quote = false;
        for (char c : v) quote |= static_cast<unsigned char>(c) <= 0x20 || c == '"' || c == ',';
        if (!quote) return v;
        std::string out = "\"";
        for (char c : v) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    };
    for (size_t size = 0; size <= 40; ++size) {
        std::string plain;
        for (size_t i = 0; i < size; ++i) plain += static_cast<char>(i % 2 ? '\xe9' : 'a' + i % 26);
        std::vector<std::string> values{plain};
        for (size_t at = 0; at < size; ++at)
            for (char c : {' ', '\t', '\0', '"', ',', '\x21', '\x7f', '\xa0', '\xac'}) {
                values.push_back(plain);
                values.back()[at] = c;
            }
        for (const std::string& v : values) {
            std::string out(MaxEncodedSize(v), '\0');
            out.resize(static_cast<size_t>(EncodeValue(v, out.data()) - out.data()));
            ASSERT_EQ(out, expected(v)) << "size " << size;
        }
    }
}

TEST(RowLayout, UntickedDefaultsAreFixedTextAndTheTinTypeIsASlot) {
    // Fields 1 and 5 are supplied; field 2, the TIN type, is a slot although unticked.
    const RowLayout layout("C$Tw#N", "010001");
    EXPECT_EQ(layout.SlotFields(), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(layout.SlotOfSupplied(1), 2u);
    EXPECT_EQ(layout.TinTypeSlot(), 1);
    EXPECT_EQ(layout.SlotDefaults(), (std::vector<std::string_view>{"", "N/A", ""}));
    const auto encode = [](const RowLayout& l, std::vector<std::string_view> slots) {
        std::string line(l.MaxEncodedSize(slots), '\0');
        line.resize(static_cast<size_t>(l.Encode(slots, line.data()) - line.data()));
        return line;
    };
    EXPECT_EQ(encode(layout, {"a b", "EIN", "1\"2"}), "0.00,\"a b\",EIN,0,0.00,\"1\"\"2\"");
    EXPECT_EQ(encode(layout, {"", "", ""}), "0.00,,,0,0.00,");
    EXPECT_EQ(encode(RowLayout("Cw", "00"), {}), "0.00,0");
    EXPECT_EQ(encode(RowLayout("T$", "01"), {"N/A", "x"}), "N/A,x");
    EXPECT_EQ(encode(RowLayout("$", "1"), {""}), "\"\"");
    EXPECT_EQ(encode(RowLayout("$", "1"), {"x"}), "x");
    EXPECT_EQ(encode(RowLayout("$$", "10"), {""}), ",");
    // Runs of defaults of every length around the copy sizes.
    for (size_t run : {3u, 4u, 12u, 13u, 16u, 17u, 70u}) {
        std::string expected;
        for (size_t i = 0; i < run; ++i) expected += "0,";
        EXPECT_EQ(encode(RowLayout(std::string(run, 'w') + "$" + std::string(run, 'w'),
                                   std::string(run, '0') + "1" + std::string(run, '0')),
                         {"x"}),
                  expected + "x," + expected.substr(0, expected.size() - 1))
            << run;
    }
}

TEST(RowLayout, RowsLargerThanAChunkStayWhole) {
    const RowLayout layout("$$", "11");
    const std::string big(3 << 20, 'x');
    OutputRows rows;
    for (int i = 0; i < 3; ++i) {
        const std::string_view slots[] = {big, i == 1 ? "b" : ""};
        rows.AppendRow(layout, slots);
    }
    rows.AppendRow({"tail"});
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
    rows.AppendRow({"a", "b c"});
    rows.AppendRow({""});
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
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + (dir / "taken").string() + "\". " + FolderAsFileText());
    }
    EXPECT_EQ(EntryCount(), 2u);
}

// A temporary file left by an earlier process that had this one's id must
// not stop the write.
TEST_F(TempFolder, TakenTemporaryNamesAreSkipped) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows fault: the atomic write gives up when its temporary name exists";
    const std::string prefix = "~out.txt.";
#else
    const std::string prefix = ".~out.txt.";
#endif
    const std::string mine = prefix + std::to_string(ProcessId()) + ".";
    for (int n = 0; n < 50; ++n) std::ofstream(dir / (mine + std::to_string(n) + ".tmp")) << "partial";
    WriteFileAtomically((dir / "out.txt").string(), "new");
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "new");
}

#ifndef _WIN32
// Process ids of dead writers and resource limits are POSIX matters.
TEST_F(TempFolder, NextWriteRemovesTemporariesOfKilledWriters) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = ".~out.txt." + std::to_string(gone) + ".3.tmp";
    const std::string own = ".~out.txt." + std::to_string(::getpid()) + ".999.tmp";
    const std::string other = ".~out.txt.bak." + std::to_string(gone) + ".3.tmp";
    for (const std::string& name : {stale, own, other}) std::ofstream(dir / name) << "partial";
    WriteFileAtomically((dir / "out.txt").string(), "new");
    EXPECT_FALSE(fs::exists(dir / stale));
    EXPECT_TRUE(fs::exists(dir / own));
    EXPECT_TRUE(fs::exists(dir / other));
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "new");
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
#endif

TEST_F(TempFolder, ReadingRefusesWhatIsNoRegularFile) {
    const std::string missing = (dir / "none.txt").string();
    try {
        ReadWholeFile(missing);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing + "\". " + MissingFileText());
    }
    try {
        ReadWholeFile(dir.string());
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.string() + "\". " + FolderAsFileText());
    }
    if (fs::exists("/dev/zero")) {
        EXPECT_THROW(ReadWholeFile("/dev/zero"), Error);
    }
}

TEST(RegistryFile, SetsTheOneValueAndKeepsEverythingElse) {
    const std::string section(kImportSection);
    EXPECT_EQ(*WithRegString("", section, "TextDirectory", "/d/"),
              "REGEDIT4\n\n[" + section + "]\n\"TextDirectory\"=\"/d/\"\n");
    const std::string other = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n";
    EXPECT_EQ(*WithRegString(other, section, "TextDirectory", "C:\\x\""),
              other + "\n[" + section + "]\n\"TextDirectory\"=\"C:\\\\x\\\"\"\n");
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

#ifndef _WIN32
// The REGEDIT4 file that stands in for the registry on POSIX.
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
#endif

}  // namespace
}  // namespace bq
