// bqdm in-process: the catalogue, usage errors and help, templates, and what
// check and merge report. Odd extracts are in bad_input_test.cpp, failures
// of the file system in fault_injection_test.cpp.
#include <gtest/gtest.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/console_buffer.h"
#include "cli/extract_list.h"
#include "cli/progress.h"
#include "extract/template_text.h"
#include "schema/form_fields.h"
#include "tests/bqdm_fixture.h"
#include "tests/samples.h"
#include "tests/temp_folder.h"
#include "verify/merge_output.h"

namespace bq {
namespace {

namespace fs = std::filesystem;
using cli::ConsoleBuffer;
using cli::Encoding;
using cli::Progress;

const std::string kExtract = test::k1098ESample;

// The captions of form `index`, as the template takes them.
std::vector<std::string> CaptionsOf(int index) {
    std::vector<std::string> captions;
    for (const FieldDescriptor& d : test::FieldsOf(index)) captions.emplace_back(CaptionOf(d));
    return captions;
}

TEST(Cli, CatalogueCommands) {
    const BqdmResult forms = Bqdm({"forms"});
    EXPECT_EQ(forms.status, 0);
    EXPECT_EQ(
        forms.out,
        "1094\n1095-B\n1095-B CI\n1095-C\n1095-C CI\n1098\n1098-C\n1098-E\n1098-T\n1099-A\n1099-B\n1099-C\n"
        "1099-CAP\n1099-DIV\n1099-G\n1099-INT\n1099-K\n1099-LTC\n1099-MISC\n1099-OID\n1099-PATR\n1099-Q\n"
        "1099-R\n1099-S\n1099-SA\n3921\n3922\n5498\n5498-ESA\n5498-SA\nW-2\nW-2C\nW-2G\n");
    // A form named in any letter case: one line per field of W-2G.
    std::string w2g;
    const std::vector<std::string> captions = CaptionsOf(36);
    for (size_t i = 0; i < captions.size(); ++i)
        w2g += std::to_string(i) + '\t' + TypeCodeOf(test::FieldsOf(36)[i]) + '\t' + captions[i] + '\n';
    EXPECT_EQ(Bqdm({"fields", "w-2g"}).out, w2g);
    EXPECT_EQ(Bqdm({"fields", "--index", "2"}).out,
              "0\tn\tSocial security number\n1\tv\tW-2 Verification Code\n");
}

TEST(Cli, FieldsAsJsonAndTheLegendOfTheirCodes) {
    EXPECT_EQ(Bqdm({"fields", "--index", "2", "--json"}).out,
              "{\"form\":\"W-2 VCode\",\"index\":2,\"fields\":[{\"index\":0,\"code\":\"n\",\"caption\":"
              "\"Social security number\"},{\"index\":1,\"code\":\"v\",\"caption\":\"W-2 Verification "
              "Code\"}]}\n");
    const std::string help = Bqdm({"fields", "--help"}).out;
    const std::string legend =
        "\nType codes (bqdm types shows what their values become):\n"
        "  $  STRING DATA - No special formatting required\n"
        "  C  CURRENCY - Negative amounts reflect losses\n";
    EXPECT_EQ(help.substr(help.find("\nType codes"), legend.size()), legend);
    const std::string end =
        "  g  1=Horses, 2=Dogs, 3=Jai-alai, 4=Lottery, 5=Keno, 6=Bingo, 7=Slots, 8=Poker, 9=Other\n"
        "  e  (no hint)\n  k  (no hint)\n  9  (no hint)\n  v  (no hint)\n";
    EXPECT_EQ(help.substr(help.size() - end.size()), end);
}

// What the rules make of the sample values, long lists broken into lines.
TEST(Cli, TypesShowWhatTheRulesMakeOfSampleValues) {
    const BqdmResult r = Bqdm({"types"});
    EXPECT_EQ(r.status, 0);
    const std::string first =
        "  $  STRING DATA - No special formatting required\n"
        "     accepts any text, written as it is\n"
        "     default empty\n"
        "  C  CURRENCY - Negative amounts reflect losses\n"
        "     accepts \"$1,234.50\" -> \"1234.50\", \"-1,000\" -> \"-1000\", \"\" -> \"0\"\n"
        "     rejects \"1 000\"\n"
        "     default \"0.00\"\n";
    EXPECT_EQ(r.out.substr(0, first.size()), first);
    for (const std::string block : {
             "  N  TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX\n"
             "     accepts \"12-3456789\" -> \"123456789\" (TIN type EIN),\n"
             "             \"123-45-6789\" -> \"123456789\" (TIN type SSN), \"123456789\" -> \"123456789\",\n"
             "             \"\" -> \"\" (TIN type N/A)\n"
             "     rejects \"12-34\"\n"
             "     default empty\n",
             "  y  2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Not Required\n"
             "     accepts \"18\" -> \"2018\", \"50\" -> \"1950\", \"2018\" -> \"2018\", \"\" -> \"\", "
             "\"123\" -> \"\" "
             "(unreadable)\n"
             "     default empty\n",
             "  T  TIN TYPE: { 1, EIN }=Employer ID, { 2, SSN }=Social Security, { Blank, N/A }=Not "
             "available\n"
             "     accepts \"1\" -> \"EIN\", \"2\" -> \"SSN\", \"\" -> \"N/A\", \"EIN\" -> \"EIN\"\n"
             "     default \"N/A\"\n",
             "  g  1=Horses, 2=Dogs, 3=Jai-alai, 4=Lottery, 5=Keno, 6=Bingo, 7=Slots, 8=Poker, 9=Other\n"
             "     accepts \"3\" -> \"3\"\n"
             "     rejects \"0\", \"10\", \"\"\n"
             "     default empty\n",
         })
        EXPECT_NE(r.out.find(block), std::string::npos) << block;
    const std::string last = "  v  (no hint)\n     accepts any text, written as it is\n     default empty\n";
    EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last);
}

TEST(Cli, UsageErrorsExitWithTwoAndOneLine) {
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"frobnicate"}, "bqdm: unknown command 'frobnicate' (see bqdm --help)\n"},
        {{"fields", "Clients"}, "bqdm fields: unknown form 'Clients' (see bqdm forms)\n"},
        {{"fields", "--index", "37"}, "bqdm fields: --index takes a form index from 0 to 36\n"},
        {{"template", "W-2"},
         "bqdm template: a template needs at least one field: give --fields LIST or --fields all\n"},
        {{"template", "W-2", "--fields", "63"},
         "bqdm template: --fields: '63' is no field index from 0 to 62\n"},
    };
    for (const auto& c : cases) {
        const BqdmResult r = Bqdm(c.args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, HelpGoesToStdoutWhenAskedForAndToStderrWithoutACommand) {
    const std::string help =
        "bqdm - the Brisquill data merge module (reporting year 2018) without windows\n\n"
        "Usage:\n"
        "  bqdm forms\n"
        "  bqdm fields FORM | --index N [--json]\n"
        "  bqdm types\n"
        "  bqdm template FORM --fields LIST [--csv] [-o FILE] [--force]\n"
        "  bqdm extract FORM --from DATA.csv [-o EXTRACT] [--force] [--delimiter C] [--encoding E] [--json]\n"
        "  bqdm check EXTRACT... | - [--all] [--json] [--strict] [--max-problems N] [--quiet] [--recursive]\n"
        "  bqdm merge EXTRACT... [--strict] [--max-problems N] [--quiet] [--recursive] [--no-registry]\n"
        "  bqdm preview EXTRACT [--records N]\n"
        "  bqdm help [COMMAND] | --help | --version\n\n"
        "Commands:\n"
        "  forms     list the forms an extract can name\n"
        "  fields    list a form's destination fields\n"
        "  types     explain the field type codes\n"
        "  template  print or save the data extract template\n"
        "  extract   make an extract from a spreadsheet's CSV\n"
        "  check     verify an extract without writing anything\n"
        "  merge     verify an extract and write its merge output\n"
        "  preview   show the first records field by field\n\n"
        "Examples:\n"
        "  bqdm fields 1099-MISC\n"
        "  bqdm template W-2 --fields 0,3,5 -o \"FORM W-2 TEMPLATE.txt\"\n"
        "  bqdm check EXTRACT.txt\n\n"
        "bqdm help COMMAND (or bqdm COMMAND --help) describes a command.\n"
        "Exit status: 0 done, 1 extract rejected, 2 usage error, 3 file or registry failure.\n";
    for (const std::vector<std::string>& asked : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"help"}, {"help", "--help"}, {"help", "help"}}) {
        const BqdmResult r = Bqdm(asked);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, help) << asked.back();
    }
    const BqdmResult none = Bqdm({});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, help);
    EXPECT_EQ(none.out, "");
    const std::string mergeHelp =
        "Usage: bqdm merge EXTRACT... [--strict] [--max-problems N] [--quiet] [--recursive] [--no-registry]\n"
        "\n"
        "verify an extract and write its merge output.\n"
        "Verifies EXTRACT, writes the merge output next to it (2018DM_ + its\n"
        "file name), records the folder as TextDirectory and prints the import\n"
        "instructions on stdout.\n"
        "Several extracts, a folder or a pattern are merged one by one: a line\n"
        "per output written, a summary, then the import instructions once.\n"
        "\n"
        "Options:\n"
        "      --strict          warnings fail the run (status 1)\n"
        "      --max-problems N  show at most N problems (100 unless given; 0: all),\n"
        "                        then how many more and the counts per field\n"
        "  -q, --quiet           print nothing but problems: no progress bar, no instructions\n"
        "      --recursive       with a folder: its subfolders' extracts too\n"
        "      --no-registry     write the outputs without recording TextDirectory\n"
        "  -h, --help            show this help\n"
        "\n"
        "Examples:\n"
        "  bqdm merge EXTRACT.txt\n"
        "  bqdm merge in/ --quiet\n"
        "  bqdm merge \"in\\client*.txt\" --no-registry\n"
        "  bqdm merge -- -leading-dash.txt\n";
    // Help wins over a missing operand, wherever it stands before "--".
    for (const std::vector<std::string>& asked : std::vector<std::vector<std::string>>{
             {"merge", "--help"}, {"merge", "-q", "-h"}, {"help", "merge"}}) {
        const BqdmResult r = Bqdm(asked);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, mergeHelp) << asked.back();
    }
    // Options are listed in a column; a second line of help stays in it.
    EXPECT_EQ(Bqdm({"template", "--help"}).out,
              "Usage: bqdm template FORM --fields LIST [--csv] [-o FILE] [--force]\n"
              "\n"
              "print or save the data extract template.\n"
              "Prints the template of FORM for the fields of LIST; at least one field\n"
              "is needed.\n"
              "\n"
              "Options:\n"
              "      --fields LIST  the ticked fields: comma-separated indexes (from 0) or 'all'\n"
              "  -o, --output FILE  write the template to FILE, every line followed by CR LF,\n"
              "                     replacing FILE atomically\n"
              "      --csv          the first row of a spreadsheet instead: the captions of the\n"
              "                     fields, comma-separated; -o FILE is replaced only with --force\n"
              "      --force        with --csv: replace FILE if it exists\n"
              "  -h, --help         show this help\n"
              "\n"
              "Examples:\n"
              "  bqdm template W-2 --fields 0,3,5\n"
              "  bqdm template 1099-MISC --fields=all -o \"FORM 1099-MISC TEMPLATE.txt\"\n"
              "  bqdm template 1099-MISC --fields 0,2,11,18 --csv -o misc.csv\n");
    const std::string version = "bqdm 1.0.0 (BQ2018DM, reporting year 2018)\n";
    EXPECT_EQ(Bqdm({"--version"}).out, version);
    EXPECT_EQ(Bqdm({"-V"}).out, version);
}

TEST(Cli, OptionsTakeTheirValueAttachedOrNextAndEndAtDoubleDash) {
    const std::string template0 = Bqdm({"template", "1098-E", "--fields", "0"}).out;
    EXPECT_EQ(Bqdm({"template", "--fields=0", "1098-E"}).out, template0);
    // "-" is standard output, not a file named "-".
    EXPECT_EQ(Bqdm({"template", "1098-E", "--fields", "0", "-o", "-"}).out, template0);
    EXPECT_FALSE(std::filesystem::exists("-"));
    EXPECT_EQ(Bqdm({"template", "1098-E", "--fields=5", "--fields", "0"}).out, template0);
    EXPECT_EQ(Bqdm({"fields", "--index=2"}).out, Bqdm({"fields", "--index", "2"}).out);
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"template", "W-2", "--fields"}, "bqdm template: --fields needs a value (LIST)\n"},
        {{"template", "W-2", "--fields", "0", "-o"}, "bqdm template: --output needs a value (FILE)\n"},
        {{"check", "--all=yes", "x"}, "bqdm check: --all takes no value\n"},
        {{"check", "--every", "x"},
         "bqdm check: unknown option '--every' (a file name that begins with - goes after --)\n"},
        {{"merge", "-x"}, "bqdm merge: unknown option '-x' (a file name that begins with - goes after --)\n"},
        {{"preview", "--", "--help", "two"}, "bqdm preview: unexpected argument 'two'\n"},
        {{"merge", "-"}, "bqdm merge: merge writes next to its extract, so it needs a file name, not -\n"},
        {{"fields", "W-2", "--index", "3"}, "bqdm fields: give FORM or --index N, not both\n"},
        {{"forms", "W-2"}, "bqdm forms: unexpected argument 'W-2'\n"},
        {{"template", "--fields", "0"}, "bqdm template: which form? (see bqdm forms)\n"},
        {{"check", "--all"}, "bqdm check: which extract? give its file name\n"},
        {{"help", "frobnicate"}, "bqdm: unknown command 'frobnicate' (see bqdm --help)\n"},
        // A slip of the keyboard gets the name it missed.
        {{"chek", "x"}, "bqdm: unknown command 'chek'; did you mean check? (see bqdm --help)\n"},
        {{"fields", "W2"}, "bqdm fields: unknown form 'W2'; did you mean W-2? (see bqdm forms)\n"},
        {{"check", "--al", "x"},
         "bqdm check: unknown option '--al'; did you mean --all? (a file name that begins with - goes after "
         "--)\n"},
        {{"help", "forms", "W-2"}, "bqdm help: unexpected argument 'W-2'\n"},
    };
    for (const auto& c : cases) {
        const BqdmResult r = Bqdm(c.args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, ProgressFitsItsColumnsAndLeavesNoLineBehind) {
    std::ostringstream err;
    {
        Progress wide(err, 60);
        const auto draw = wide.Callback();
        draw(2, 200);
        draw(3, 200);  // the same percentage is not drawn again
        draw(200, 200);
    }
    EXPECT_EQ(err.str(),
              "\rverifying [                          ] 1% 2/200 records"
              "\rverifying [##########################] 100% 200/200 records"
              "\r" +
                  std::string(59, ' ') + "\r");
    err.str("");
    {
        // Too narrow for a bar: the counts alone, cut before the last column.
        Progress narrow(err, 24);
        narrow.Callback()(1, 2);
    }
    EXPECT_EQ(err.str(), "\rverifying 50% 1/2 recor\r" + std::string(23, ' ') + "\r");
    Progress off(err, 0);
    EXPECT_FALSE(off.Callback());
}

// The bar goes to a terminal only when the caller says stderr is one, never
// because the tests happen to run on one.
TEST(Cli, ProgressIsDrawnOnlyOnTheTerminalTheCallerNames) {
    const std::string extract = test::k1098EHead + "A\r\n000000001\r\n1\r\n{END DATA}\r\n";
    for (const int columns : {0, 60}) {
        std::istringstream in(extract);
        std::ostringstream out, err;
        cli::Console console;
        console.progressColumns = columns;
        EXPECT_EQ(cli::Run({"check", "-"}, in, out, err, console), 0);
        EXPECT_EQ(out.str(), "1098-E: 1 record, valid\n");
        EXPECT_EQ(err.str(), columns ? "\rverifying [" + std::string(30, '#') + "] 100% 1/1 records\r" +
                                           std::string(59, ' ') + "\r"
                                     : "");
    }
}

// What a file, CSV or extract holds cannot drive the terminal: its control
// characters are shown escaped there, while bqdm's own carriage returns
// (the progress bar's) go through as they are, in order with the rest.
TEST(Cli, ATerminalShowsControlCharactersFromOutsideEscaped) {
    const std::string hostile =
        "a\x1b]0;title\x07"
        "b\x1b[2Jc\rd\x7f\x9d\x81"
        "e\tf\x9b\x80\n";
    const std::vector<std::pair<Encoding, std::string>> cases = {
        {Encoding::AsIs, "\rbar a\\x1b]0;title\\x07b\\x1b[2Jc\\x0dd\\x7f\\x9d\\x81e\tf\x9b\x80\n"},
        {Encoding::Utf8From1252,
         "\rbar a\\x1b]0;title\\x07b\\x1b[2Jc\\x0dd\\x7f\\u009d\\u0081e\tf\u203a\u20ac\n"},
    };
    for (const auto& [encoding, shown] : cases) {
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        {
            ConsoleBuffer buffer(file, encoding, cli::Controls::Escaped);
            std::ostream raw(&buffer.Raw()), text(&buffer);
            raw << "\rbar ";
            text << hostile;
        }
        std::rewind(file);
        char bytes[256];
        const std::string written(bytes, std::fread(bytes, 1, sizeof bytes, file));
        std::fclose(file);
        EXPECT_EQ(written, shown);
    }
}

#ifndef _WIN32
TEST(Cli, ConsoleTextIsUtf8OnlyWhenAskedAndAFailedWriteKeepsItsReason) {
    for (const Encoding encoding : {Encoding::AsIs, Encoding::Utf8From1252}) {
        std::FILE* file = std::tmpfile();
        {
            ConsoleBuffer buffer(file, encoding);
            std::ostream(&buffer) << "Jos\xe9 \x80\x92 \x81\n";
        }
        std::rewind(file);
        char bytes[64];
        const std::string written(bytes, std::fread(bytes, 1, sizeof bytes, file));
        std::fclose(file);
        EXPECT_EQ(written, encoding == Encoding::AsIs ? "Jos\xe9 \x80\x92 \x81\n"
                                                      : "Jos\u00e9 \u20ac\u2019 \xc2\x81\n");
    }
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    ConsoleBuffer buffer(full, Encoding::AsIs);
    std::ostream out(&buffer);
    out << "1094\n" << std::flush;
    EXPECT_FALSE(out);
    EXPECT_TRUE(buffer.Failed());
    EXPECT_EQ(buffer.Error(), ENOSPC);
    std::fclose(full);
}
#endif

class Template : public test::TempFolder {};

TEST_F(Template, SavedWithCrLfLines) {
    const std::string out = (dir / "FORM 1098-E TEMPLATE.txt").string();
    const BqdmResult r = Bqdm({"template", "1098-e", "--fields", "0,11,14", "-o", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    std::vector<bool> ticks(CaptionsOf(11).size(), false);
    ticks[0] = ticks[11] = ticks[14] = true;
    EXPECT_EQ(Read(out),
              TemplateFileBytes(TemplateLines("1098-E", CaptionsOf(11), ticks, DesktopProgramName())));
}

#ifndef _WIN32
// The registry store is kept in the test's folder, and the paths in the
// reports are spelt the POSIX way.
class Merge : public BqdmFolder {};
class Check : public BqdmFolder {};
class Batch : public BqdmFolder {};

// A night run over a folder: each extract on its own, a line each in name
// order, hidden files and earlier outputs skipped, the worst status.
TEST_F(Batch, AFolderIsItsExtractsEachOnItsOwn) {
    fs::create_directories(dir / "in" / "sub");
    Write("in/a.txt", kExtract);
    Write("in/b.txt", test::k1098EHead + "B\r\nbad\r\n1\r\n{END DATA}\r\n");
    Write("in/c.txt", "NOT A FORM\r\n");
    Write("in/.hidden.txt", kExtract);
    Write("in/2018DM_a.txt", "an earlier output\r\n");
    Write("in/sub/d.txt", kExtract);
    const std::string in = (dir / "in").string();
    const std::string sep(1, fs::path::preferred_separator);
    const BqdmResult check = Bqdm({"check", in});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(
        check.out,
        in + sep + "a.txt: valid, 1 record\n" + in + sep +
            "b.txt: rejected: line 5 record 1 field 2 \"Taxpayer id\": invalid TIN \"bad\" [invalid-tin]\n" +
            in + sep + "c.txt: rejected: FORM segment not found. [form-segment-missing]\n" +
            "3 extracts: 1 valid, 2 rejected, 0 could not be read; 2 skipped\n");
    EXPECT_EQ(Bqdm({"check", in, "--recursive"}).out.find("sub" + sep + "d.txt: valid") != std::string::npos,
              true);

    const BqdmResult merge = Bqdm({"merge", in, "--quiet", "--no-registry"});
    EXPECT_EQ(merge.status, 1);
    EXPECT_EQ(
        merge.out,
        in + sep +
            "b.txt: rejected: line 5 record 1 field 2 \"Taxpayer id\": invalid TIN \"bad\" [invalid-tin]\n" +
            in + sep + "c.txt: rejected: FORM segment not found. [form-segment-missing]\n");
    EXPECT_EQ(Read(dir / "in" / "2018DM_a.txt"), test::k1098ESampleRow);
    EXPECT_FALSE(fs::exists(dir / "config" / "BRISQUILL"));
}

// A pattern that names no file is expanded by bqdm, as cmd.exe never does;
// one that matches nothing is a failure of that argument alone.
TEST_F(Batch, PatternsAreExpandedAndOneMatchingNothingFailsAlone) {
    Write("x1.txt", kExtract);
    Write("x2.txt", kExtract);
    const std::string pattern = (dir / "x?.txt").string(), none = (dir / "y*.txt").string();
    const BqdmResult r = Bqdm({"check", pattern, none});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, (dir / "x1.txt").string() + ": valid, 1 record\n" + (dir / "x2.txt").string() +
                         ": valid, 1 record\n" + none + ": no file matches this pattern\n" +
                         "3 extracts: 2 valid, 0 rejected, 1 could not be read; 0 skipped\n");
    EXPECT_TRUE(cli::MatchesPattern("client[0-9][!a]*.t?t", "client07b.txt"));
    EXPECT_FALSE(cli::MatchesPattern("client[0-9][!a]*.t?t", "client0a.txt"));
    EXPECT_TRUE(cli::MatchesPattern("*", ""));
    EXPECT_FALSE(cli::MatchesPattern("a*b", "a"));
}

TEST_F(Merge, WritesOutputRegistryAndInstructions) {
    const std::string extract = Write("x.txt", kExtract);
    const BqdmResult r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, test::LfLines(ImportInstructions(extract, "1098-E")) + "\n");
    EXPECT_EQ(Read(dir / "2018DM_x.txt"), test::k1098ESampleRow);
    EXPECT_EQ(Read(dir / "config" / "BRISQUILL" / "HKCU.reg"),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\BRISQUILL\\Import\\BQ2018]\n\"TextDirectory\"=\"" +
                  dir.string() + "/\"\n");
}

#ifndef _WIN32
// A line break in the extract's name cannot forge a line of the
// instructions on a terminal; a pipe gets the name's bytes as they are.
TEST_F(Merge, ANamesLineBreaksAreShownEscapedOnATerminal) {
    const std::string extract = Write("x\nFILE:  evil.txt", kExtract);
    for (const bool terminal : {false, true}) {
        std::istringstream in;
        std::ostringstream out, err;
        cli::Console console;
        console.outIsTerminal = terminal;
        EXPECT_EQ(cli::Run({"merge", extract}, in, out, err, console), 0) << err.str();
        const std::string shown = terminal ? (dir / "x\\x0aFILE:  evil.txt").string() : extract;
        EXPECT_EQ(out.str(), test::LfLines(ImportInstructions(shown, "1098-E")) + "\n");
    }
}
#endif

TEST_F(Merge, ShowsWarningsUnaskedAndStrictWritesNothing) {
    const std::string extract = Write("x.txt", test::k1098EHead +
                                                   "A\r\n"
                                                   "000000001\r\n-5.00\r\n{END DATA}\r\n");
    const std::string warning =
        extract +
        ":6: warning: record 1 field 3 \"Box 1 - Student loan interest received\": minus "
        "sign dropped: this amount cannot be negative \"-5.00\" [sign-dropped]\n"
        "    written as 5.00\n";
    const BqdmResult strict = Bqdm({"merge", extract, "--strict"});
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.err, warning + "bqdm: warnings fail the merge (--strict); nothing was written\n");
    EXPECT_EQ(Entries(dir),
              (std::vector<std::string>{"config", "x.txt"}));  // the config folder of the fixture
    const BqdmResult r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, warning);
    EXPECT_EQ(Read(dir / "2018DM_x.txt"), "A,,,,,,,,,,N/A,000000001,,,5.00,,,,\r\n");
}

TEST_F(Check, LayoutFaultsGetTheirLineCodeAndHintWithAll) {
    const std::string extract = Write("x.txt", test::k1098EHead + "a\r\n\r\n{END DATA}\r\n");
    const BqdmResult all = Bqdm({"check", extract, "--all"});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.err,
              extract +
                  ":4: error: Field allocation error. Total fields required per record = 3 is not an "
                  "integral factor of Total fields recorded in this extract = 2 [field-allocation]\n"
                  "    2 data lines make 0 records of 3 and 2 lines over; empty data lines that may be "
                  "the extra ones: line 5\n1 error, 0 warnings in " +
                  extract + "\n  field-allocation: 1\n");
    const BqdmResult missing = Bqdm({"check", (dir / "none.txt").string(), "--json"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(
        missing.out,
        "{\"schema\":1,\"extract\":\"" + (dir / "none.txt").string() +
            "\",\"form\":\"\",\"records\":0,\"valid\":false,\"errors\":[{\"line\":null,\"record\":null,"
            "\"field\":null,\"fieldIndex\":null,\"caption\":null,\"value\":null,\"code\":\"cannot-open\","
            "\"message\":\"Cannot open file \\\"" +
            (dir / "none.txt").string() +
            "\\\". No such file or directory.\",\"hint\":\"check the file's name and that it may be "
            "read\"}],\"warnings\":[],\"counts\":{\"cannot-open\":1}}\n");
}

// `text` without the blanks at the end of its lines, as preview prints its table.
std::string TrimmedLines(const std::string& text) {
    std::string trimmed;
    for (const char c : text) {
        if (c == '\n') trimmed.erase(trimmed.find_last_not_of(' ') + 1);
        trimmed += c;
    }
    return trimmed;
}

TEST_F(Check, PreviewShowsEachValueAsReadAndAsWritten) {
    const std::string extract =
        Write("x.txt", test::k1098EHead +
                           "Jos\xe9\r\n"
                           "12-3456789\r\n1.2E+03\r\nB\r\n123\r\n0\r\n{END DATA}\r\n");
    const BqdmResult r = Bqdm({"preview", extract, "--records", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        TrimmedLines(
            "record 1\n"
            "  line field  caption                   read                      written                   "
            "problem\n"
            "     4     0  Name line 1               \"Jos\xe9\"                    \"Jos\xe9\"              "
            "    "
            "  \n"
            "     5    11  Taxpayer id               \"12-3456789\"              \"123456789\"               "
            "\n"
            "     6    14  Box 1 - Student loan ...  \"1.2E+03\"                 \"1.2E03\"                  "
            "warning [exponent]\n"));
}

// --records is how many may be shown, not memory taken in advance: a huge
// count shows the two records there are, the empty one's warning with it.
TEST_F(Check, PreviewOfAHugeRecordCountShowsTheRecordsThereAre) {
    const std::string extract = Write("x.txt", test::k1098EHead +
                                                   "A\r\n"
                                                   "000000001\r\n1\r\n\r\n\r\n\r\n{END DATA}\r\n");
    const BqdmResult r = Bqdm({"preview", extract, "--records", "999999999"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string head =
        "  line field  caption                   read                      written                   "
        "problem\n";
    EXPECT_EQ(r.out, TrimmedLines(
                         "record 1\n" + head +
                         "     4     0  Name line 1               \"A\"                       \"A\"          "
                         "             \n"
                         "     5    11  Taxpayer id               \"000000001\"               \"000000001\"  "
                         "             \n"
                         "     6    14  Box 1 - Student loan ...  \"1\"                       \"1\"          "
                         "             \n"
                         "\nrecord 2\n" +
                         head +
                         "     7     0  Name line 1               \"\"                        \"\"           "
                         "             \n"
                         "     8    11  Taxpayer id               \"\"                        \"\"           "
                         "             \n"
                         "     9    14  Box 1 - Student loan ...  \"\"                        \"0\"          "
                         "             \n"
                         "  warning [empty-record]: every value of the record is empty\n"));
}

// Every problem kept is written as found, through a temporary file once
// they are many: all of them, in order, in one valid document.
TEST_F(Check, ManyProblemsAreAllReportedInOrder) {
    std::string text = test::k1098EHead;
    constexpr int kRecords = 20000;
    for (int i = 0; i < kRecords; ++i) text += "A\r\nbad" + std::to_string(i) + "\r\n1\r\n";
    const std::string extract = Write("x.txt", text + "{END DATA}\r\n");
    const BqdmResult all = Bqdm({"check", extract, "--all", "--max-problems", "0"});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(std::count(all.err.begin(), all.err.end(), '\n'), 2 * kRecords + 2);
    const std::string last =
        extract + ":60002: error: record 20000 field 2 \"Taxpayer id\": invalid TIN \"bad19999\"";
    EXPECT_NE(all.err.find(last), std::string::npos);
    const std::string summary = "20000 errors, 0 warnings in " + extract + "\n  invalid-tin: 20000\n";
    EXPECT_EQ(all.err.substr(all.err.size() - summary.size()), summary);
    const BqdmResult json = Bqdm({"check", extract, "--all", "--json"});
    EXPECT_EQ(json.status, 1);
    size_t objects = 0;
    for (size_t at = json.out.find("{\"line\":"); at != std::string::npos;
         at = json.out.find("{\"line\":", at + 1))
        ++objects;
    EXPECT_EQ(objects, static_cast<size_t>(kRecords));
    EXPECT_NE(json.out.find("\"bad19999\",\"code\":\"invalid-tin\""), std::string::npos);
    const std::string end = "}],\"warnings\":[],\"counts\":{\"invalid-tin\":20000}}\n";
    EXPECT_EQ(json.out.substr(json.out.size() - end.size()), end);
}

TEST_F(Check, AllReportsEveryBadValueAndJsonTheFirst) {
    const std::string extract = Write("x.txt", test::Extract1098E("A\r\n12\r\n1\r\nB\r\n1\r\nx\r\n"));
    const BqdmResult all = Bqdm({"check", extract, "--all"});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.out, "");
    const std::string tin =
        "    expected TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX\n";
    EXPECT_EQ(all.err, extract +
                           ":5: error: record 1 field 2 \"Taxpayer id\": invalid TIN \"12\" [invalid-tin]\n" +
                           tin + extract +
                           ":8: error: record 2 field 2 \"Taxpayer id\": invalid TIN \"1\" [invalid-tin]\n" +
                           tin + extract +
                           ":9: error: record 2 field 3 \"Box 1 - Student loan interest received\": invalid "
                           "currency value \"x\" [invalid-currency]\n"
                           "    expected CURRENCY - Cannot be negative\n"
                           "3 errors, 0 warnings in " +
                           extract + "\n  invalid-currency: 1\n  invalid-tin: 2\n");
    // Without --all the first bad value's message alone, as the windows show it.
    const BqdmResult first = Bqdm({"check", extract});
    EXPECT_EQ(first.err,
              "EXTRACT = " + extract +
                  "\n\nRecord # 1, Field # 2\nDestination field \"Taxpayer id\" maps to an invalid "
                  "TIN \"12\"\n");
    const BqdmResult json = Bqdm({"check", extract, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.err, "");
    EXPECT_EQ(json.out,
              "{\"schema\":1,\"extract\":\"" + extract +
                  "\",\"form\":\"1098-E\",\"records\":2,\"valid\":false,\"errors\":[{\"line\":5,\"record\":1,"
                  "\"field\":2,\"fieldIndex\":11,\"caption\":\"Taxpayer id\",\"value\":\"12\",\"code\":"
                  "\"invalid-tin\",\"message\":\"EXTRACT = " +
                  extract +
                  "\\u000d\\u000a\\u000d\\u000aRecord # 1, Field # 2\\u000d\\u000aDestination field "
                  "\\\"Taxpayer id\\\" maps to an invalid TIN \\\"12\\\"\",\"hint\":\"" +
                  tin.substr(4, tin.size() - 5) + "\"}],\"warnings\":[],\"counts\":{\"invalid-tin\":1}}\n");
    const BqdmResult ok = Bqdm({"check", Write("y.txt", kExtract)});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "1098-E: 1 record, valid\n");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"config", "x.txt", "y.txt"}));
}
TEST_F(Check, ReadsTheExtractFromStandardInput) {
    const BqdmResult ok = Bqdm({"check", "-"}, kExtract);
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "1098-E: 1 record, valid\n");
    EXPECT_EQ(ok.err, "");
    const BqdmResult empty = Bqdm({"check", "-"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "FORM segment not found.\n\nEXTRACT = (standard input)\n");
    // Windows-1252 bytes in JSON are their Unicode escapes.
    const BqdmResult json =
        Bqdm({"check", "--json", "-"}, test::Extract1098E("Jos\xe9\r\n000000001\r\n\x80\x92\r\n"));
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(
        json.out,
        "{\"schema\":1,\"extract\":\"(standard input)\",\"form\":\"1098-E\",\"records\":1,\"valid\":false,"
        "\"errors\":[{\"line\":6,\"record\":1,\"field\":3,\"fieldIndex\":14,\"caption\":\"Box 1 - Student "
        "loan interest received\",\"value\":\"\\u20ac\\u2019\",\"code\":\"invalid-currency\",\"message\":"
        "\"EXTRACT = (standard input)\\u000d\\u000a\\u000d\\u000aRecord # 1, Field # "
        "3\\u000d\\u000aDestination "
        "field \\\"Box 1 - Student loan interest received\\\" maps to an invalid currency value "
        "\\\"\\u20ac\\u2019\\\"\",\"hint\":\"expected CURRENCY - Cannot be negative\"}],\"warnings\":[],"
        "\"counts\":{\"invalid-currency\":1}}\n");
}

// FIFOs and devices are POSIX things.
TEST_F(Template, OutputNeverReplacesASpecialFile) {
    const std::string tmpl = Bqdm({"template", "1098-e", "--fields", "0"}).out;
    // A link to a regular file is replaced at its target.
    Write("target.txt", "old");
    fs::create_symlink(dir / "target.txt", dir / "link.txt");
    EXPECT_EQ(Bqdm({"template", "1098-e", "--fields", "0", "-o", (dir / "link.txt").string()}).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Read(dir / "target.txt").size(), tmpl.size() + 38);  // every line ends in CR LF
    // A device is written into, never replaced, also through a link.
    fs::create_symlink("/dev/null", dir / "null");
    EXPECT_EQ(Bqdm({"template", "1098-e", "--fields", "0", "-o", (dir / "null").string()}).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // A FIFO gets the bytes.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Read(dir / "fifo"); });
    EXPECT_EQ(Bqdm({"template", "1098-e", "--fields", "0", "-o", (dir / "fifo").string()}).status, 0);
    reader.join();
    EXPECT_EQ(received, Read(dir / "target.txt"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    // A folder is refused.
    fs::create_directory(dir / "folder");
    const BqdmResult folder = Bqdm({"template", "1098-e", "--fields", "0", "-o", (dir / "folder").string()});
    EXPECT_EQ(folder.status, 3);
    EXPECT_EQ(folder.err, "Cannot create file \"" + (dir / "folder").string() + "\". Is a directory.\n");
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

#else

// Device names and pipes are the Windows kinds of special file.
TEST_F(Template, OutputNeverReplacesADeviceOrPipe) {
    const std::vector<std::string> args = {"template", "1098-e", "--fields", "0", "-o"};
    const auto to = [&args](const std::string& file) {
        std::vector<std::string> all = args;
        all.push_back(file);
        return Bqdm(all);
    };
    ASSERT_EQ(to((dir / "t.txt").string()).status, 0);
    const std::string bytes = Read(dir / "t.txt");
    fs::remove(dir / "t.txt");
    // NUL takes the bytes, in any folder, and no file of that name appears.
    for (const std::string& device : {std::string("NUL"), (dir / "nul").string()})
        EXPECT_EQ(to(device).status, 0) << device;
    EXPECT_EQ(Entries(dir), std::vector<std::string>{});
    // A named pipe gets the bytes.
    const std::string pipe = "\\\\.\\pipe\\bq_template_" + std::to_string(GetCurrentProcessId());
    const HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                           0, 1 << 16, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::string received;
    std::thread reader([&] {
        ConnectNamedPipe(server, nullptr);  // fails when the writer came first, which is as good
        char piece[4096];
        DWORD got = 0;
        while (ReadFile(server, piece, sizeof piece, &got, nullptr) && got) received.append(piece, got);
    });
    EXPECT_EQ(to(pipe).status, 0);
    reader.join();
    CloseHandle(server);
    EXPECT_EQ(received, bytes);
}

#endif

}  // namespace
}  // namespace bq
