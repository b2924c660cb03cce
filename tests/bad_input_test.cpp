// bqdm on extracts no outside application should write: garbage, huge
// lines, odd line breaks, odd bytes and odd paths. Each gets its exact
// message or output, quickly, and never a hang or a crash. POSIX only:
// FIFOs, /dev/zero, and file names Windows does not allow.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/bqdm_fixture.h"
#include "tests/samples.h"
#include "verify/merge_output.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

using Result = BqdmResult;
using test::SameBytes;

class BadInput : public BqdmFolder {
  protected:
    // The message bqdm shows for a header fault of `extract`.
    static std::string Shown(const std::string& message, const std::string& extract) {
        return message + "\n\nEXTRACT = " + extract + ".\n";
    }
};

using test::k1098EHead;
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
        Write("nul.txt", std::string(1, '\0') + k1098EHead + "A\r\n1\r\n2\r\n{END DATA}\r\n");
    r = Bqdm({"check", nul});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, Shown("FORM segment not found.", nul));
    // A rejected extract gets no output.
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"config", "garbage.bin", "nul.txt"}));
}

TEST_F(BadInput, HundredMegabyteLineIsOneValue) {
    const std::string value(100u << 20, 'A');
    const std::string extract = Write("big.txt", kNameOnly + value + "\r\n{END DATA}\r\n");
    const Result r = Bqdm({"merge", extract});
    ASSERT_EQ(r.status, 0) << r.err.substr(0, 300);
    EXPECT_TRUE(SameBytes(Read(dir / "2018DM_big.txt"), value + ",,,,,,,,,,N/A,,,,0.00,,,,\r\n"));

    // As the FORM line it is named in full.
    const std::string form = Write("form.txt", "FORM " + value.substr(0, 10 << 20) + "\r\n");
    EXPECT_TRUE(SameBytes(Bqdm({"check", form}).err,
                          Shown("FORM " + value.substr(0, 10 << 20) + " not found.", form)));
}

TEST_F(BadInput, TenMillionEmptyLinesAreCountedAsValues) {
    std::string lines;
    lines.reserve(20'000'000 + 200);
    lines += k1098EHead;
    for (int i = 0; i < 10'000'000; ++i) lines += "\r\n";
    const std::string extract = Write("empty.txt", lines + "{END DATA}\r\n");
    const Result r = Bqdm({"check", extract});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              Shown("Field allocation error.\n\nTotal fields required per record = 3\n\nis not an integral "
                    "factor of\n\nTotal fields recorded in this extract = 10000000",
                    extract));
    // Before the FORM line they leave line 1 empty.
    const std::string first = Write("first.txt", std::string(10'000'000, '\n') + k1098EHead);
    EXPECT_EQ(Bqdm({"check", first}).err, Shown("FORM segment not found.", first));
}

TEST_F(BadInput, CarriageReturnsAloneEndLines) {
    const std::string cr = Write(
        "cr.txt", "FORM 1098-E\rKEY 0191000000000010010000\r{BEGIN DATA}\rA B\r000000001\r1\r{END DATA}\r");
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
}

TEST_F(BadInput, KeyCountsAndFlagStrings) {
    const std::string flags999 = Write("k999.txt", "FORM 1098-E\r\nKEY 999" + std::string(999, '1') + "\r\n");
    EXPECT_EQ(Bqdm({"check", flags999}).err, Shown("1098-E (2018) checksum error in KEY segment.", flags999));
    const std::string flags1000 =
        Write("k1000.txt", "FORM 1098-E\r\nKEY 999" + std::string(1000, '1') + "\r\n");
    EXPECT_EQ(Bqdm({"check", flags1000}).err, Shown("KEY segment checksum error.", flags1000));
    // A plus sign is part of an integer, so "+19" counts nineteen flags.
    const std::string plus =
        Write("plus.txt", "FORM 1098-E\r\nKEY +191000000000000000000\r\n{BEGIN DATA}\r\nA\r\n{END DATA}\r\n");
    const Result r = Bqdm({"check", plus});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1098-E: 1 record, valid\n");
    const std::string hex = Write("hex.txt", "FORM 1098-E\r\nKEY 0x11\r\n");
    EXPECT_EQ(Bqdm({"check", hex}).err, Shown("KEY segment checksum error.", hex));
}

TEST_F(BadInput, OddFileNamesAreTakenAsGiven) {
    const std::string name = "-x \"q\" Jos\xe9\nnew line.txt";
    const std::string extract = Write(name, k1098EHead + "A\r\n000000001\r\n1\r\n{END DATA}\r\n");
    const Result r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::LfLines(ImportInstructions(extract, "1098-E")) + "\n");
    EXPECT_EQ(Read(dir / ("2018DM_" + name)), "A,,,,,,,,,,N/A,000000001,,,1,,,,\r\n");

    // A relative name that begins with a dash reads as an option; "--" or "./" avoids that.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const Result dashed = Bqdm({"check", name});
    const Result ended = Bqdm({"check", "--", name});
    const Result dotted = Bqdm({"check", "./" + name});
    fs::current_path(cwd);
    EXPECT_EQ(dashed.status, 2);
    EXPECT_EQ(dashed.err,
              "bqdm check: unknown option '" + name + "' (a file name that begins with - goes after --)\n");
    EXPECT_EQ(ended.status, 0) << ended.err;
    EXPECT_EQ(dotted.status, 0) << dotted.err;

    // TextDirectory cannot hold a line break: the output is written, the value is refused.
    fs::create_directory(dir / "two\nlines");
    const std::string inFolder = (dir / "two\nlines" / "x.txt").string();
    Write("two\nlines/x.txt", k1098EHead + "A\r\n000000001\r\n1\r\n{END DATA}\r\n");
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
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"config", "pipe.txt"}));
}

}  // namespace
}  // namespace bq
