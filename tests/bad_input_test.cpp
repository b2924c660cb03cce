// bqdm on extracts no outside application should write: garbage, huge
// lines, odd line breaks, odd bytes and odd paths. Each gets its exact
// message or output, quickly, and never a hang or a crash.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/bqdm_fixture.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

using Result = BqdmResult;

class BadInput : public BqdmFolder {
protected:
    // The message bqdm shows for a header fault of `extract`.
    static std::string Shown(const std::string& message, const std::string& extract) {
        return message + "\n\nEXTRACT = " + extract + ".\n";
    }
};

const std::string k1098E = "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n";
const std::string kNameOnly = "FORM 1098-E\r\nKEY 0191000000000000000000\r\n{BEGIN DATA}\r\n";

TEST_F(BadInput, BinaryGarbageAndALeadingNulHaveNoFormSegment) {
    std::mt19937 random(2018);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    garbage[0] = '\x9c';
    const std::string binary = Write("garbage.bin", garbage);
    Result r = Bqdm({"merge", binary});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, Shown("FORM segment not found.", binary));

    // A NUL ends the text, so a valid extract behind one is not seen.
    const std::string nul =
        Write("leading_nul.txt", std::string(1, '\0') + k1098E + "A\r\n1\r\n2\r\n{END DATA}\r\n");
    r = Bqdm({"check", nul});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, Shown("FORM segment not found.", nul));
    EXPECT_FALSE(fs::exists(dir / "2018DM_leading_nul.txt"));
}

TEST_F(BadInput, HundredMegabyteLineIsOneValue) {
    const std::string value(100u << 20, 'A');
    const std::string extract = Write("big.txt", kNameOnly + value + "\r\n{END DATA}\r\n");
    const Result r = Bqdm({"merge", extract});
    ASSERT_EQ(r.status, 0) << r.err.substr(0, 300);
    const std::string output = Read(dir / "2018DM_big.txt");
    EXPECT_EQ(output.size(), value.size() + 27);
    EXPECT_EQ(output.substr(0, 4), "AAAA");
    EXPECT_EQ(output.substr(value.size() - 2), "AA,,,,,,,,,,N/A,,,,0.00,,,,\r\n");

    // As the FORM line it is named in full.
    const std::string form = Write("form.txt", "FORM " + value.substr(0, 10 << 20) + "\r\n");
    EXPECT_EQ(Bqdm({"check", form}).err, Shown("FORM " + value.substr(0, 10 << 20) + " not found.", form));
}

TEST_F(BadInput, TenMillionEmptyLinesAreCountedAsValues) {
    std::string lines;
    lines.reserve(20'000'000 + 200);
    lines += k1098E;
    for (int i = 0; i < 10'000'000; ++i) lines += "\r\n";
    const std::string extract = Write("empty.txt", lines + "{END DATA}\r\n");
    const Result r = Bqdm({"check", extract});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, Shown("Field allocation error.\n\nTotal fields required per record = 3\n\nis not an integral "
                           "factor of\n\nTotal fields recorded in this extract = 10000000",
                           extract));
    // Before the FORM line they leave line 1 empty.
    const std::string first = Write("first.txt", std::string(10'000'000, '\n') + k1098E);
    EXPECT_EQ(Bqdm({"check", first}).err, Shown("FORM segment not found.", first));
}

TEST_F(BadInput, CarriageReturnsAloneEndLines) {
    const std::string cr = Write("cr.txt", "FORM 1098-E\rKEY 0191000000000010010000\r{BEGIN DATA}\rA B\r000000001\r1\r{END DATA}\r");
    const Result r = Bqdm({"merge", cr});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(dir / "2018DM_cr.txt"), "\"A B\",,,,,,,,,,N/A,000000001,,,1,,,,\r\n");
    const std::string only = Write("only.txt", std::string(1000, '\r'));
    EXPECT_EQ(Bqdm({"check", only}).err, Shown("FORM segment not found.", only));
}

TEST_F(BadInput, HighBytesAreCopiedUnchangedAndUnquoted) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) high += static_cast<char>(c);
    const std::string extract = Write("high.txt", kNameOnly + high + "\r\n{END DATA}\r\n");
    const Result r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(dir / "2018DM_high.txt"), high + ",,,,,,,,,,N/A,,,,0.00,,,,\r\n");
    // 0xA0 is a no-break space in the ANSI code page, still no reason to quote.
    const std::string text = Write("nbsp.txt", kNameOnly + "Jos\xe9\xa0Mu\xf1oz\r\n{END DATA}\r\n");
    EXPECT_EQ(Bqdm({"merge", text}).status, 0);
    EXPECT_EQ(Read(dir / "2018DM_nbsp.txt"), "Jos\xe9\xa0Mu\xf1oz,,,,,,,,,,N/A,,,,0.00,,,,\r\n");
}

TEST_F(BadInput, KeyCountsAndFlagStrings) {
    const std::string flags999 = Write("k999.txt", "FORM 1098-E\r\nKEY 999" + std::string(999, '1') + "\r\n");
    EXPECT_EQ(Bqdm({"check", flags999}).err, Shown("1098-E (2018) checksum error in KEY segment.", flags999));
    const std::string flags1000 = Write("k1000.txt", "FORM 1098-E\r\nKEY 999" + std::string(1000, '1') + "\r\n");
    EXPECT_EQ(Bqdm({"check", flags1000}).err, Shown("KEY segment checksum error.", flags1000));
    const std::string minus = Write("minus.txt", "FORM 1098-E\r\nKEY -011\r\n");
    EXPECT_EQ(Bqdm({"check", minus}).err, Shown("KEY segment checksum error.", minus));
    // A plus sign is part of an integer, so "+19" counts nineteen flags.
    const std::string plus = Write("plus.txt", "FORM 1098-E\r\nKEY +191000000000000000000\r\n{BEGIN DATA}\r\nA\r\n{END DATA}\r\n");
    const Result r = Bqdm({"check", plus});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1098-E: 1 record, valid\n");
    const std::string hex = Write("hex.txt", "FORM 1098-E\r\nKEY 0x11\r\n");
    EXPECT_EQ(Bqdm({"check", hex}).err, Shown("KEY segment checksum error.", hex));
}

// Letters beyond ASCII in the ANSI code page: on Windows they must exist
// in the code page in force, elsewhere any bytes make a name.
std::string AnsiLetters() {
#ifdef _WIN32
    if (GetACP() == 932) return "\x93\xfa\x96\x7b";  // two kanji in Shift-JIS
#endif
    return "Jos\xe9 Mu\xf1oz";
}

// The file functions of the C library take the name's bytes as they are.
std::string ReadNamed(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(BadInput, AnsiFileNamesAreTakenAsGiven) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows fault: bqdm makes paths absolute via std::filesystem, "
                    "which re-encodes ANSI bytes as UTF-8";
#endif
    const std::string folder = (dir / "").string();
    const std::string name = "-x 'q' " + AnsiLetters() + ".txt";
    std::ofstream(folder + name, std::ios::binary) << k1098E + "A\r\n000000001\r\n1\r\n{END DATA}\r\n";
    const Result r = Bqdm({"merge", folder + name});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string shown =
        "Data Extract \"" + name + "\" has been saved as\n\nFILE:  2018DM_" + name + "\n";
    EXPECT_EQ(r.out.substr(0, shown.size()), shown);
    EXPECT_EQ(ReadNamed(folder + "2018DM_" + name), "A,,,,,,,,,,N/A,000000001,,,1,,,,\r\n");
}

// In Shift-JIS 0x5C is the second byte of many characters, not a backslash.
TEST_F(BadInput, DoubleByteNamesWithA5CByteStayWhole) {
#ifdef _WIN32
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932; in this one 0x5C is always a backslash";
    GTEST_SKIP() << "Windows fault: the folder/file split takes every 0x5C byte for a backslash, "
                    "also the second byte of a double-byte character";
#endif
    const std::string folder = (dir / "").string();
    const std::string name = "\x95\x5c\x8e\xa6.txt";  // two kanji, the first ending in 0x5C
    std::ofstream(folder + name, std::ios::binary) << k1098E + "A\r\n000000001\r\n1\r\n{END DATA}\r\n";
    const Result r = Bqdm({"merge", folder + name});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("FILE:  2018DM_" + name + "\nFOLDER:  " + folder + "\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(ReadNamed(folder + "2018DM_" + name), "A,,,,,,,,,,N/A,000000001,,,1,,,,\r\n");
}

#ifndef _WIN32
// Names with quotes and line breaks, FIFOs and /dev: POSIX only. The Windows
// counterparts (ANSI code-page names, pipes, devices) are in windows_test.cpp.
TEST_F(BadInput, OddFileNamesAreTakenAsGiven) {
    const std::string name = "-x \"q\" Jos\xe9\nnew line.txt";
    const std::string extract = Write(name, k1098E + "A\r\n000000001\r\n1\r\n{END DATA}\r\n");
    const Result r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string shown =
        "Data Extract \"" + name + "\" has been saved as\n\nFILE:  2018DM_" + name + "\n";
    EXPECT_EQ(r.out.substr(0, shown.size()), shown);
    EXPECT_EQ(Read(dir / ("2018DM_" + name)), "A,,,,,,,,,,N/A,000000001,,,1,,,,\r\n");

    // A relative name that begins with a dash reads as an option; "./" avoids that.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const Result dashed = Bqdm({"check", name});
    const Result dotted = Bqdm({"check", "./" + name});
    fs::current_path(cwd);
    EXPECT_EQ(dashed.status, 2);
    EXPECT_EQ(dashed.err, "bqdm check: unexpected argument '" + name + "'\n");
    EXPECT_EQ(dotted.status, 0) << dotted.err;

    // TextDirectory cannot hold a line break: the output is written, the value is refused.
    fs::create_directory(dir / "two\nlines");
    const std::string inFolder = (dir / "two\nlines" / "x.txt").string();
    std::ofstream(inFolder, std::ios::binary) << k1098E + "A\r\n000000001\r\n1\r\n{END DATA}\r\n";
    const Result folder = Bqdm({"merge", inFolder});
    EXPECT_EQ(folder.status, 3);
    EXPECT_EQ(folder.err, "Failed to set data for 'TextDirectory'\n");
    EXPECT_EQ(Read(dir / "two\nlines" / "2018DM_x.txt"), "A,,,,,,,,,,N/A,000000001,,,1,,,,\r\n");
}

TEST_F(BadInput, FifoAndDevicesAreRefusedWithoutWaiting) {
    const std::string fifo = (dir / "pipe.txt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        for (const char* command : {"merge", "check"}) {
            const Result r = Bqdm({command, path});
            EXPECT_EQ(r.status, 3) << path;
            EXPECT_EQ(r.err, "Cannot open file \"" + path + "\". Not a regular file.\n") << path;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "2018DM_pipe.txt"));
}
#endif

}  // namespace
}  // namespace bq
