// The commands of bqdm with their options and help texts. A new command is
// one entry here and its Run function.
#include "cli/commands.h"

namespace bq::cli {
namespace {

constexpr Option kFieldsOptions[] = {
    {option::kIndex, 0, "N", "a catalogue index from 0 to 36 instead of FORM, the hidden forms too"},
    {option::kJson, 0, "", "the field list as one JSON document"},
};

constexpr Option kTemplateOptions[] = {
    {option::kFields, 0, "LIST", "the ticked fields: comma-separated indexes (from 0) or 'all'"},
    {option::kOutput, 'o', "FILE",
     "write the template to FILE, every line followed by CR LF,\n"
     "replacing FILE atomically"},
    {option::kCsv, 0, "",
     "the first row of a spreadsheet instead: the captions of the\n"
     "fields, comma-separated; -o FILE is replaced only with --force"},
    {option::kForce, 0, "", "with --csv: replace FILE if it exists"},
};

constexpr Option kExtractOptions[] = {
    {option::kFrom, 0, "DATA.csv", "the spreadsheet's CSV; its first row names the columns"},
    {option::kOutput, 'o', "EXTRACT", "the extract to write (DATA.txt beside the CSV otherwise)"},
    {option::kForce, 0, "", "replace EXTRACT if it exists"},
    {option::kDelimiter, 0, "C", "',', ';' or 'tab'; told from the first row otherwise"},
    {option::kEncoding, 0, "E", "utf-8 or windows-1252; told from the bytes otherwise"},
    {option::kJson, 0, "", "the report as one JSON document on stdout"},
};

constexpr Option kPreviewOptions[] = {
    {option::kRecords, 0, "N", "how many records to show (3 unless given)"},
};

constexpr Option kQuietOption{option::kQuiet, 'q', "", "draw no progress bar"};

constexpr Option kStrictOption{option::kStrict, 0, "", "warnings fail the run (status 1)"};
constexpr Option kMaxProblemsOption{option::kMaxProblems, 0, "N",
                                    "show at most N problems (100 unless given; 0: all),\n"
                                    "then how many more and the counts per field"};

constexpr Option kRecursiveOption{option::kRecursive, 0, "", "with a folder: its subfolders' extracts too"};

constexpr Option kCheckOptions[] = {
    {option::kAll, 0, "",
     "report every problem, each with its line, code and hint, not only\n"
     "the first bad value; then the counts per code"},
    {option::kJson, 0, "", "the report as one JSON document on stdout"},
    kStrictOption,
    kMaxProblemsOption,
    kQuietOption,
    kRecursiveOption,
};

constexpr Option kMergeOptions[] = {
    kStrictOption,
    kMaxProblemsOption,
    {option::kQuiet, 'q', "", "print nothing but problems: no progress bar, no instructions"},
    kRecursiveOption,
    {option::kNoRegistry, 0, "", "write the outputs without recording TextDirectory"},
};

constexpr Command kCommands[] = {
    {.name = "forms",
     .synopsis = "",
     .summary = "list the forms an extract can name",
     .help = "Prints the forms of the selector, one name a line, in catalogue order.\n",
     .options = {},
     .maxOperands = 0,
     .examples = "bqdm forms\n",
     .run = RunForms},
    {.name = "fields",
     .synopsis = "FORM | --index N [--json]",
     .summary = "list a form's destination fields",
     .help = "Prints one line per field: INDEX<TAB>TYPE CODE<TAB>CAPTION, index from 0.\n"
             "FORM is a form name in any letter case.\n",
     .options = kFieldsOptions,
     .maxOperands = 1,
     .examples = "bqdm fields 1099-MISC\n"
                 "bqdm fields --index 0\n"
                 "bqdm fields w-2 --json\n",
     .run = RunFields,
     .moreHelp = PrintTypeCodeLegend},
    {.name = "types",
     .synopsis = "",
     .summary = "explain the field type codes",
     .help = "Prints every type code with its hint, what its values become (worked\n"
             "out by the value rules on sample values), what it rejects, and the\n"
             "value an output row holds when the extract gives none.\n",
     .options = {},
     .maxOperands = 0,
     .examples = "bqdm types\n",
     .run = RunTypes},
    {.name = "template",
     .synopsis = "FORM --fields LIST [--csv] [-o FILE] [--force]",
     .summary = "print or save the data extract template",
     .help = "Prints the template of FORM for the fields of LIST; at least one field\n"
             "is needed.\n",
     .options = kTemplateOptions,
     .maxOperands = 1,
     .examples = "bqdm template W-2 --fields 0,3,5\n"
                 "bqdm template 1099-MISC --fields=all -o \"FORM 1099-MISC TEMPLATE.txt\"\n"
                 "bqdm template 1099-MISC --fields 0,2,11,18 --csv -o misc.csv\n",
     .run = RunTemplate},
    {.name = "extract",
     .synopsis = "FORM --from DATA.csv [-o EXTRACT] [--force] [--delimiter C] [--encoding E] [--json]",
     .summary = "make an extract from a spreadsheet's CSV",
     .help = "The first row of DATA.csv names the columns, each by a field's caption\n"
             "(letter case and blanks aside) or by #INDEX (see bqdm fields); every\n"
             "later row is one record, and empty rows are skipped. Writes EXTRACT,\n"
             "then verifies it and reports each problem as DATA.csv:ROW:COLUMN. Exit 0\n"
             "when the extract is valid, 1 when the CSV or a value in it is rejected.\n",
     .options = kExtractOptions,
     .maxOperands = 1,
     .examples = "bqdm extract 1099-MISC --from misc.csv\n"
                 "bqdm extract w-2 --from=w2.csv -o w2.txt --force --json\n",
     .run = RunExtract},
    {.name = "check",
     .synopsis = "EXTRACT... | - [--all] [--json] [--strict] [--max-problems N] [--quiet] [--recursive]",
     .summary = "verify an extract without writing anything",
     .help = "Exit 0 when the extract is valid (a one-line summary on stdout), 1 when\n"
             "it is rejected (the message on stderr). - reads the extract from\n"
             "standard input. Warnings tell what the rules did quietly (an invalid\n"
             "optional date written empty, a spreadsheet date serial, a dropped\n"
             "minus sign...); they never change the output.\n"
             "Several extracts, a folder or a pattern (*, ?, [...]) are checked one\n"
             "by one: a line each on stdout, a summary, and the worst status (3 when\n"
             "one could not be read, 1 when one was rejected). A folder's hidden\n"
             "files and 2018DM_ outputs are skipped.\n",
     .options = kCheckOptions,
     .maxOperands = static_cast<size_t>(-1),
     .examples = "bqdm check EXTRACT.txt\n"
                 "bqdm check --all --json EXTRACT.txt\n"
                 "producer | bqdm check -\n",
     .run = RunCheck},
    {.name = "merge",
     .synopsis = "EXTRACT... [--strict] [--max-problems N] [--quiet] [--recursive] [--no-registry]",
     .summary = "verify an extract and write its merge output",
     .help = "Verifies EXTRACT, writes the merge output next to it (2018DM_ + its\n"
             "file name), records the folder as TextDirectory and prints the import\n"
             "instructions on stdout.\n"
             "Several extracts, a folder or a pattern are merged one by one: a line\n"
             "per output written, a summary, then the import instructions once.\n",
     .options = kMergeOptions,
     .maxOperands = static_cast<size_t>(-1),
     .examples = "bqdm merge EXTRACT.txt\n"
                 "bqdm merge in/ --quiet\n"
                 "bqdm merge \"in\\client*.txt\" --no-registry\n"
                 "bqdm merge -- -leading-dash.txt\n",
     .run = RunMerge},
    {.name = "preview",
     .synopsis = "EXTRACT [--records N]",
     .summary = "show the first records field by field",
     .help = "Shows the first N records of EXTRACT field by field: the line of each\n"
             "value, its field's index and caption, the value as read and as written\n"
             "to the merge output, and any problem with its code.\n",
     .options = kPreviewOptions,
     .maxOperands = 1,
     .examples = "bqdm preview w2.txt\n"
                 "bqdm preview w2.txt --records 1\n",
     .run = RunPreview},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace bq::cli
