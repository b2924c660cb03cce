#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/bqdm_fixture.h"
#include "verify/messages.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

using Result = BqdmResult;
using Bqdm_ = BqdmFolder;

const std::string kExtract =
    "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\nONE\r\n000000001\r\n125.00\r\n{END DATA}\r\n";

TEST(Cli, CatalogueCommands) {
    const Result forms = Bqdm({"forms"});
    EXPECT_EQ(forms.status, 0);
    EXPECT_EQ(forms.out.substr(0, 12), "1094\n1095-B\n");
    const Result fields = Bqdm({"fields", "w-2g"});
    EXPECT_EQ(fields.out.substr(0, 17), "0\t$\tName line 1\n1");
    EXPECT_EQ(Bqdm({"fields", "--index", "2"}).out, "0\tn\tSocial security number\n1\tv\tW-2 Verification Code\n");
}

TEST(Cli, UsageErrorsExitWithTwoAndOneLine) {
    EXPECT_EQ(Bqdm({"frobnicate"}).err, "bqdm: unknown command 'frobnicate' (see bqdm --help)\n");
    EXPECT_EQ(Bqdm({"frobnicate"}).status, 2);
    const Result clients = Bqdm({"fields", "Clients"});
    EXPECT_EQ(clients.status, 2);
    EXPECT_EQ(clients.err, "bqdm fields: unknown form 'Clients' (see bqdm forms)\n");
    EXPECT_EQ(Bqdm({"fields", "--index", "37"}).status, 2);
    EXPECT_EQ(Bqdm({"template", "W-2"}).status, 2);
    EXPECT_EQ(Bqdm({"template", "W-2", "--fields", "63"}).status, 2);
    EXPECT_EQ(Bqdm({"--help"}).status, 0);
    EXPECT_EQ(Bqdm({"merge", "--help"}).out.substr(0, 25), "Usage: bqdm merge EXTRACT");
}

TEST_F(Bqdm_, TemplateSavesCrLfLines) {
    const std::string out = (dir / "FORM 1098-E TEMPLATE.txt").string();
    EXPECT_EQ(Bqdm({"template", "1098-e", "--fields", "0,11,14", "-o", out}).status, 0);
    std::ifstream in(out, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string head =
        "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\nName line 1\r\nTaxpayer id\r\n";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
}

TEST_F(Bqdm_, MergeWritesOutputRegistryAndInstructions) {
    const std::string extract = Write("x.txt", kExtract);
    const Result r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, 38), "Data Extract \"x.txt\" has been saved as");
    std::ifstream in(dir / "2018DM_x.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "ONE,,,,,,,,,,N/A,000000001,,,125.00,,,,\r\n");
#ifdef _WIN32
    const auto value = registry->TextDirectory();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->bytes, (dir / "").string() + '\0');
#else
    EXPECT_TRUE(fs::exists(dir / "config" / "BRISQUILL" / "HKCU.reg"));
#endif
}

TEST_F(Bqdm_, FailuresShowTheDisplayedMessageAndTheirStatus) {
    const std::string bad = Write("bad.txt", "FORM 1098-E\r\nKEY 12\r\n");
    const Result rejected = Bqdm({"merge", bad});
    EXPECT_EQ(rejected.status, 1);
    EXPECT_EQ(rejected.err, "Bad KEY segment.\n\nEXTRACT = " + bad + ".\n");
    EXPECT_FALSE(fs::exists(dir / "2018DM_bad.txt"));
    const std::string missing = (dir / "none.txt").string();
    const Result unreadable = Bqdm({"check", missing});
    EXPECT_EQ(unreadable.status, 3);
    EXPECT_EQ(unreadable.err,
              DisplayedMessage("Cannot open file \"" + missing + "\". " + MissingFileText()) + "\n");

    fs::create_directory(dir / "2018DM_x.txt");
    EXPECT_EQ(Bqdm({"merge", Write("x.txt", kExtract)}).status, 3);
}

TEST_F(Bqdm_, CheckAllReportsEveryBadValueAndJsonTheSame) {
    const std::string extract = Write(
        "x.txt", "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\nA\r\n12\r\n1\r\nB\r\n1\r\nx\r\n{END DATA}\r\n");
    const Result all = Bqdm({"check", extract, "--all"});
    EXPECT_EQ(all.status, 1);
    EXPECT_NE(all.err.find("Record # 1, Field # 2\nDestination field \"Taxpayer id\" maps to an invalid TIN \"12\""),
              std::string::npos);
    EXPECT_NE(all.err.find("3 bad values in " + extract + "\n"), std::string::npos);
    const Result json = Bqdm({"check", extract, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out.substr(json.out.find("\"records\"")),
              "\"records\":2,\"valid\":false,\"errors\":[{\"record\":1,\"field\":2,\"fieldIndex\":11,\"caption\":"
              "\"Taxpayer id\",\"value\":\"12\",\"problem\":\"to an invalid TIN\"}],\"warnings\":[]}\n");
    const Result ok = Bqdm({"check", Write("y.txt", kExtract)});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "1098-E: 1 record, valid\n");
}

}  // namespace
}  // namespace bq
