// The commands of bqdm with their options and help texts. A new command is
// one entry here and its Run function.
#include "cli/commands.h"

namespace bq::cli {
namespace {

constexpr Option kFieldsOptions[] = {
    {"index", 0, "N", "a catalogue index from 0 to 36 instead of FORM, the hidden forms too"},
    {"json", 0, "", "the field list as one JSON document"},
};

constexpr Option kTemplateOptions[] = {
    {"fields", 0, "LIST", "the ticked fields: comma-separated indexes (from 0) or 'all'"},
    {"output", 'o', "FILE",
     "write the template to FILE, every line followed by CR LF,\n"
     "replacing FILE atomically"},
};

constexpr Option kQuietOption{"quiet", 'q', "", "draw no progress bar"};

constexpr Option kCheckOptions[] = {
    {"all", 0, "",
     "report every bad value, not only the first, then a count; also\n"
     "warn about optional dates and years that become empty"},
    {"json", 0, "", "the report as one JSON document on stdout"},
    kQuietOption,
};

constexpr Option kMergeOptions[] = {kQuietOption};

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
     .synopsis = "FORM --fields LIST [-o FILE]",
     .summary = "print or save the data extract template",
     .help = "Prints the template of FORM for the fields of LIST; at least one field\n"
             "is needed.\n",
     .options = kTemplateOptions,
     .maxOperands = 1,
     .examples = "bqdm template W-2 --fields 0,3,5\n"
                 "bqdm template 1099-MISC --fields=all -o \"FORM 1099-MISC TEMPLATE.txt\"\n",
     .run = RunTemplate},
    {.name = "check",
     .synopsis = "EXTRACT | - [--all] [--json] [--quiet]",
     .summary = "verify an extract without writing anything",
     .help = "Exit 0 when the extract is valid (a one-line summary on stdout), 1 when\n"
             "it is rejected (the message on stderr). - reads the extract from\n"
             "standard input.\n",
     .options = kCheckOptions,
     .maxOperands = 1,
     .examples = "bqdm check EXTRACT.txt\n"
                 "bqdm check --all --json EXTRACT.txt\n"
                 "producer | bqdm check -\n",
     .run = RunCheck},
    {.name = "merge",
     .synopsis = "EXTRACT [--quiet]",
     .summary = "verify an extract and write its merge output",
     .help = "Verifies EXTRACT, writes the merge output next to it (2018DM_ + its\n"
             "file name), records the folder as TextDirectory and prints the import\n"
             "instructions on stdout.\n",
     .options = kMergeOptions,
     .maxOperands = 1,
     .examples = "bqdm merge EXTRACT.txt\n"
                 "bqdm merge -- -leading-dash.txt\n",
     .run = RunMerge},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace bq::cli
