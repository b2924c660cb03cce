#include "cli/cli.h"

#include <new>
#include <ostream>

#include "cli/commands.h"
#include "cli/version.h"
#include "platform/error.h"
#include "schema/form_catalogue.h"
#include "schema/text.h"
#include "shell/messages.h"

namespace bq::cli {
namespace {

constexpr Command kCommands[] = {
    {"forms", "", "list the forms an extract can name",
     "Prints the forms of the selector, one name a line, in catalogue order.\n", RunForms},
    {"fields", "FORM | --index N", "list a form's destination fields",
     "Prints one line per field: INDEX<TAB>TYPE CODE<TAB>CAPTION, index from 0.\n"
     "FORM is a form name in any letter case; --index N takes any catalogue\n"
     "index from 0 to 36, the hidden forms included.\n",
     RunFields},
    {"template", "FORM [--fields LIST] [--csv] [-o FILE] [--force]",
     "print or save the data extract template",
     "LIST is comma-separated field indexes (from 0) or 'all'; at least one\n"
     "field is needed. Prints the template; with -o FILE writes it there\n"
     "instead, every line followed by CR LF, replacing FILE atomically.\n"
     "  --csv    the first row of a spreadsheet instead: the captions of the\n"
     "           fields, comma-separated; -o FILE is replaced only with --force\n",
     RunTemplate},
    {"extract", "FORM --from DATA.csv [-o EXTRACT] [--force] [--delimiter C] [--encoding E] [--json]",
     "make an extract from a spreadsheet's CSV",
     "The first row of DATA.csv names the columns, each by a field's caption\n"
     "(letter case and blanks aside) or by #INDEX (see bqdm fields); every\n"
     "later row is one record, and empty rows are skipped. Writes EXTRACT\n"
     "(DATA.txt beside the CSV unless -o is given), then verifies it and\n"
     "reports each problem as DATA.csv:ROW:COLUMN. Exit 0 when the extract is\n"
     "valid, 1 when the CSV or a value in it is rejected.\n"
     "  --force        replace EXTRACT if it exists\n"
     "  --delimiter C  ',', ';' or 'tab'; told from the first row otherwise\n"
     "  --encoding E   utf-8 or windows-1252; told from the bytes otherwise\n"
     "  --json         the report as one JSON document on stdout\n",
     RunExtract},
    {"check", "EXTRACT [--all] [--json]", "verify an extract without writing anything",
     "Exit 0 when the extract is valid (a one-line summary on stdout), 1 when\n"
     "it is rejected (the message on stderr).\n"
     "  --all   report every bad value, not only the first, then a count; also\n"
     "          warn about optional dates and years that become empty\n"
     "  --json  the report as one JSON document on stdout\n",
     RunCheck},
    {"merge", "EXTRACT", "verify an extract and write its merge output",
     "Verifies EXTRACT, writes the merge output next to it (2018DM_ + its\n"
     "file name), records the folder as TextDirectory and prints the import\n"
     "instructions on stdout.\n",
     RunMerge},
    {"preview", "EXTRACT [--records N]", "show the first records field by field",
     "Shows the first N records (default 3) of EXTRACT field by field: the\n"
     "line of each value, its field's index and caption, the value as read and\n"
     "as written to the merge output, and any problem with its code.\n"
     "Example: bqdm preview w2.txt --records 1\n",
     RunPreview},
};

const Command* FindCommand(std::string_view name) {
    for (const Command& c : kCommands)
        if (c.name == name) return &c;
    return nullptr;
}

void PrintHelp(std::ostream& out) {
    out << "bqdm - the Brisquill data merge module (reporting year " << kReportingYear
        << ") without windows\n\n"
        << "Usage:\n";
    for (const Command& c : kCommands)
        out << "  bqdm " << c.name << (c.synopsis.empty() ? "" : " ") << c.synopsis << "\n";
    out << "  bqdm --help | --version\n\nCommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.name << std::string(10 - c.name.size(), ' ') << c.summary << "\n";
    out << "\nbqdm COMMAND --help describes a command.\n"
        << "Exit status: 0 done, 1 extract rejected, 2 usage error, 3 file or registry failure.\n";
}

void PrintCommandHelp(const Command& c, std::ostream& out) {
    out << "Usage: bqdm " << c.name << (c.synopsis.empty() ? "" : " ") << c.synopsis << "\n\n"
        << c.summary << ".\n"
        << c.help;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Streams io{out, err};
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? err : out);
        return args.empty() ? kUsage : kOk;
    }
    if (args[0] == "--version") {
        out << "bqdm " << kVersion << " (BQ2018DM, reporting year " << kReportingYear << ")\n";
        return kOk;
    }
    const Command* command = FindCommand(args[0]);
    if (!command) {
        err << "bqdm: unknown command '" << args[0] << "' (see bqdm --help)\n";
        return kUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const std::string& a : rest)
        if (a == "--help" || a == "-h") {
            PrintCommandHelp(*command, out);
            return kOk;
        }
    try {
        return command->run(rest, io);
    } catch (const UsageError& e) {
        err << "bqdm " << command->name << ": " << e.message << "\n";
        return kUsage;
    } catch (const std::bad_alloc&) {
        ReportMessage(io, kOutOfMemory);
        return kIoFailure;
    }
}

void ReportMessage(Streams& io, std::string_view message) {
    io.err << WithNewlines(DisplayedMessage(message), "\n") << "\n";
}

int VisibleFormNamed(std::string_view name) {
    const int index = FindFormIndex(UpperCaseAscii(name));
    if (index < kFirstVisibleForm)
        throw UsageError{"unknown form '" + std::string(name) + "' (see bqdm forms)"};
    return index;
}

}  // namespace bq::cli
