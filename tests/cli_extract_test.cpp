// bqdm extract and bqdm template --csv: what a spreadsheet's user sees, the
// problems placed at their CSV row and column, and files never replaced
// unasked.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shell/messages.h"
#include "tests/bqdm_fixture.h"
#include "tests/temp_folder.h"
#include "tests/test_platform.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

// A 1099-A spreadsheet as one comes back from a spreadsheet program that
// took the TIN for a number and the date for a date: both have lost their
// text. Row 3 is empty.
const std::string kMangled =
    "Taxpayer id,Name line 1,Date of lender's acquisition,FMV of property\r\n"
    "12345678,Ann Example,43105,\"1,000.00\"\r\n"
    ",,,\r\n"
    "123456789,Bob Example,01/05/2018,x\r\n";

// `text` as the JSON report spells it: a Windows path's backslashes doubled.
std::string Json(std::string text) {
    for (size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at + 2))
        text.insert(at, 1, '\\');
    return text;
}

class Extract : public test::TempFolder {
  protected:
    std::string Csv(const std::string& bytes) { return Write("data.csv", bytes); }
    std::string Txt() const { return (dir / "data.txt").string(); }
};

TEST_F(Extract, ProblemsArePlacedAtTheirRowAndColumn) {
    const std::string csv = Csv(kMangled);
    const BqdmResult r = Bqdm({"extract", "1099-a", "--from", csv});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              csv +
                  ":2:1 \"Taxpayer id\": maps to an invalid TIN \"12345678\" [invalid-tin]\n"
                  "    leading zeros may have been lost: 012345678?\n" +
                  csv +
                  ":2:3 \"Date of lender's acquisition\": maps to an invalid (required) date \"43105\" "
                  "[invalid-date]\n"
                  "    43105 is the spreadsheet date serial of 01/05/2018; format the column as text "
                  "MM/DD/YYYY\n" +
                  csv + ":3: warning: empty row, skipped\n" + csv +
                  ":4:4 \"FMV of property\": maps to an invalid currency value \"x\" [invalid-currency]\n"
                  "    expected CURRENCY - Cannot be negative\n3 bad values in " +
                  csv + "\n");
    EXPECT_EQ(r.out, "1099-A: 2 records written to " + Txt() + "\n");
    EXPECT_EQ(Read(Txt()),
              "FORM 1099-A\r\nKEY 02310000000000100100001000\r\n{BEGIN DATA}\r\n"
              "Ann Example\r\n12345678\r\n43105\r\n1,000.00\r\n"
              "Bob Example\r\n123456789\r\n01/05/2018\r\nx\r\n{END DATA}\r\n");
}

TEST_F(Extract, JsonGivesEachProblemsCsvRowAndColumn) {
    const std::string csv = Csv(kMangled);
    const BqdmResult r = Bqdm({"extract", "1099-A", "--from", csv, "--json", "-o", (dir / "x.txt").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    const std::string x = Json((dir / "x.txt").string());
    const auto message = [&x](const std::string& at, const std::string& rest) {
        return "\"message\":\"EXTRACT = " + x + "\\u000d\\u000a\\u000d\\u000aRecord # " + at +
               "\\u000d\\u000aDestination field " + rest + "\"";
    };
    EXPECT_EQ(
        r.out,
        "{\"csv\":\"" + Json(csv) + "\",\"extract\":\"" + x +
            "\",\"form\":\"1099-A\",\"written\":true,\"records\":2,\"valid\":false,\"errors\":["
            "{\"csvRow\":2,\"csvColumn\":1,\"header\":\"Taxpayer id\",\"record\":1,\"field\":2,"
            "\"fieldIndex\":11,\"caption\":\"Taxpayer id\",\"value\":\"12345678\",\"code\":\"invalid-tin\"," +
            message("1, Field # 2", "\\\"Taxpayer id\\\" maps to an invalid TIN \\\"12345678\\\"") +
            ",\"hint\":\"leading zeros may have been lost: 012345678?\"},"
            "{\"csvRow\":2,\"csvColumn\":3,\"header\":\"Date of lender's acquisition\",\"record\":1,"
            "\"field\":3,\"fieldIndex\":14,\"caption\":\"Date of lender's acquisition\",\"value\":"
            "\"43105\",\"code\":\"invalid-date\"," +
            message("1, Field # 3",
                    "\\\"Date of lender's acquisition\\\" maps to an invalid (required) date \\\"43105\\\"") +
            ",\"hint\":\"43105 is the spreadsheet date serial of 01/05/2018; format the column as text "
            "MM/DD/YYYY\"},"
            "{\"csvRow\":4,\"csvColumn\":4,\"header\":\"FMV of property\",\"record\":2,\"field\":4,"
            "\"fieldIndex\":19,\"caption\":\"FMV of "
            "property\",\"value\":\"x\",\"code\":\"invalid-currency\"," +
            message("2, Field # 4", "\\\"FMV of property\\\" maps to an invalid currency value \\\"x\\\"") +
            ",\"hint\":\"expected CURRENCY - Cannot be negative\"}],"
            "\"warnings\":[{\"csvRow\":3,\"code\":\"empty-row\",\"message\":\"empty row, skipped\"}]}\n");
}

TEST_F(Extract, OptionalValuesMadeEmptyAreWarningsAndTheExtractIsValid) {
    // 1099-B "Date acquired" is an optional date.
    const std::string csv = Csv("Date acquired;Proceeds\n43105;-12.50\n");
    const BqdmResult r = Bqdm({"extract", "1099-B", "--from", csv});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, csv +
                         ":2:1 \"Date acquired\": warning: invalid optional date, written empty \"43105\" "
                         "[date-emptied]\n"
                         "    43105 is the spreadsheet date serial of 01/05/2018; format the column as text "
                         "MM/DD/YYYY\n");
    EXPECT_EQ(r.out, "1099-B: 1 record written to " + Txt() + ", valid\n");
}

TEST_F(Extract, ACsvTheExtractCannotCarryWritesNothing) {
    const std::string csv = Csv("City,State\nA,\"B\nC\"\n");
    const BqdmResult r = Bqdm({"extract", "1099-MISC", "--from", csv});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, csv + ":2:2 \"State\": a value cannot hold a line break.\n");
    EXPECT_EQ(r.out, "");
    const BqdmResult json = Bqdm({"extract", "1099-MISC", "--from", csv, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out,
              "{\"csv\":\"" + Json(csv) + "\",\"extract\":\"" + Json(Txt()) +
                  "\",\"form\":\"1099-MISC\",\"written\":false,\"records\":0,\"valid\":false,"
                  "\"message\":\"" +
                  Json(csv) +
                  ":2:2 \\\"State\\\": a value cannot hold a line break.\",\"errors\":[],\"warnings\":[]}\n");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"data.csv"});
}

// A spreadsheet's "Unicode" save is named for what it is, and a NUL byte
// in a header does not cut the message short.
TEST_F(Extract, Utf16AndNulBytesGiveWholeMessages) {
    const std::string utf16 = Csv(std::string("\xFF\xFEN\0a\0m\0e\0\r\0\n\0", 14));
    const BqdmResult r = Bqdm({"extract", "1099-MISC", "--from", utf16});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              utf16 +
                  ":1:1: the file is UTF-16 text, which an extract cannot hold; save it as CSV in UTF-8 "
                  "or Windows-1252.\n");
    const std::string nul = Csv(std::string("Ci\0ty\nA\n", 9));
    const BqdmResult n = Bqdm({"extract", "1099-MISC", "--from", nul});
    EXPECT_EQ(n.status, 1);
    EXPECT_EQ(n.err.substr(0, nul.size() + 15), nul + ":1:1 \"Ci\\0ty\": ");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"data.csv"});
}

TEST_F(Extract, NothingIsReplacedWithoutForce) {
    const std::string csv = Csv("City\nBangor\n");
    Write("data.txt", "old");
    const BqdmResult kept = Bqdm({"extract", "1099-MISC", "--from", csv});
    EXPECT_EQ(kept.status, 3);
    EXPECT_EQ(kept.err, "Cannot create file \"" + Txt() + "\". It exists; --force replaces it.\n");
    EXPECT_EQ(Read(Txt()), "old");
    EXPECT_EQ(Bqdm({"extract", "1099-MISC", "--from", csv, "--force"}).status, 0);
    EXPECT_EQ(Read(Txt()).substr(0, 16), "FORM 1099-MISC\r\n");
    // Not even with --force is the CSV itself replaced.
    const BqdmResult self = Bqdm({"extract", "1099-MISC", "--from", csv, "-o", csv, "--force"});
    EXPECT_EQ(self.status, 3);
    EXPECT_EQ(self.err,
              "Cannot create file \"" + csv + "\". It is the CSV being read; name the extract with -o.\n");
    EXPECT_EQ(Read(csv), "City\nBangor\n");
    // A header CSV neither.
    const BqdmResult header = Bqdm({"template", "1099-MISC", "--fields", "4", "--csv", "-o", csv});
    EXPECT_EQ(header.status, 3);
    EXPECT_EQ(header.err, "Cannot create file \"" + csv + "\". It exists; --force replaces it.\n");
    EXPECT_EQ(Bqdm({"template", "1099-MISC", "--fields", "4,6", "--csv", "-o", csv, "--force"}).status, 0);
    EXPECT_EQ(Read(csv), "City,Zip code\r\n");
}

TEST_F(Extract, AMissingCsvIsAFileFailure) {
    const std::string csv = (dir / "none.csv").string();
    const BqdmResult r = Bqdm({"extract", "W-2", "--from", csv});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, DisplayedMessage("Cannot open file \"" + csv + "\". " + MissingFileText()) + "\n");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{});
}

#ifndef _WIN32
TEST_F(Extract, TheExtractIsNoMoreOpenThanTheCsv) {
    const std::string csv = Csv("City\nBangor\n");
    fs::permissions(csv, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Bqdm({"extract", "1099-MISC", "--from", csv}).status, 0);
    EXPECT_EQ(fs::status(Txt()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST(ExtractUsage, WrongArgumentsExitWithTwo) {
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"extract", "W-2"}, "bqdm extract: which spreadsheet? give --from DATA.csv\n"},
        {{"extract", "--from", "d.csv"}, "bqdm extract: which form? (see bqdm forms)\n"},
        {{"extract", "W-3", "--from", "d.csv"},
         "bqdm extract: unknown form 'W-3'; did you mean W-2? (see bqdm forms)\n"},
        {{"extract", "W-2", "--from"}, "bqdm extract: --from needs a value (DATA.csv)\n"},
        {{"extract", "W-2", "--from", "d.csv", "--delimiter", "ab"},
         "bqdm extract: --delimiter takes one character, such as ';', or 'tab'\n"},
        {{"extract", "W-2", "--from", "d.csv", "--encoding", "latin1"},
         "bqdm extract: --encoding takes utf-8 or windows-1252\n"},
        {{"template", "W-2", "--fields", "0", "--force"},
         "bqdm template: --force goes with --csv; a template file is always replaced\n"},
    };
    for (const auto& c : cases) {
        const BqdmResult r = Bqdm(c.args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(ExtractUsage, TemplateCsvPrintsTheHeaderRow) {
    const BqdmResult r = Bqdm({"template", "1099-misc", "--fields", "0,9,11", "--csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Name line 1,\"Foreign city, province, postal code\",Taxpayer id\n");
}

#ifndef _WIN32
class ExtractWalkThrough : public BqdmFolder {};

// The README's steps: a header row to start from, rows filled in, the
// extract, and its merge output.
TEST_F(ExtractWalkThrough, FromSpreadsheetToMergeOutput) {
    const std::string csv = (dir / "misc.csv").string();
    ASSERT_EQ(Bqdm({"template", "1099-MISC", "--fields", "0,11,18", "--csv", "-o", csv}).status, 0);
    Write("misc.csv", Read(csv) + "\"Harbor Lane Rentals, LLC\",12-3456789,\"1,250.00\"\r\n");
    const BqdmResult extract = Bqdm({"extract", "1099-MISC", "--from", csv});
    EXPECT_EQ(extract.err, "");
    EXPECT_EQ(extract.status, 0);
    EXPECT_EQ(Bqdm({"merge", (dir / "misc.txt").string()}).status, 0);
    EXPECT_EQ(
        Read(dir / "2018DM_misc.txt"),
        "\"Harbor Lane Rentals, LLC\",,,,,,,,,,EIN,123456789,,,,,,,1250.00,0.00,0.00,0.00,0.00,0.00,0.00,"
        "0.00,0.00,0.00,0.00,0.00,0.00,,0.00,0.00,,0.00,0.00,,,\r\n");
}
#endif

}  // namespace
}  // namespace bq
