#include "cli/cli.h"

#include <algorithm>
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

const Command* FindCommand(std::string_view name) {
    for (const Command& c : Commands())
        if (c.name == name) return &c;
    return nullptr;
}

// `text`'s lines, each after `indent`.
void PrintIndented(std::ostream& out, std::string_view text, std::string_view indent) {
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        out << indent << text.substr(at, end - at) << "\n";
        at = end + 1;
    }
}

std::string UsageLine(const Command& c) {
    return "bqdm " + std::string(c.name) + (c.synopsis.empty() ? "" : " ") + std::string(c.synopsis);
}

void PrintHelp(std::ostream& out) {
    out << "bqdm - the Brisquill data merge module (reporting year " << kReportingYear
        << ") without windows\n\n"
        << "Usage:\n";
    for (const Command& c : Commands()) out << "  " << UsageLine(c) << "\n";
    out << "  bqdm help [COMMAND] | --help | --version\n\nCommands:\n";
    for (const Command& c : Commands())
        out << "  " << c.name << std::string(10 - c.name.size(), ' ') << c.summary << "\n";
    out << "\nExamples:\n"
        << "  bqdm fields 1099-MISC\n"
        << "  bqdm template W-2 --fields 0,3,5 -o \"FORM W-2 TEMPLATE.txt\"\n"
        << "  bqdm check EXTRACT.txt\n"
        << "\nbqdm help COMMAND (or bqdm COMMAND --help) describes a command.\n"
        << "Exit status: 0 done, 1 extract rejected, 2 usage error, 3 file or registry failure.\n";
}

// "-o, --output FILE" or "    --all": an option as its help lists it.
std::string OptionLabel(const Option& o) {
    std::string label = o.alias ? std::string{'-', o.alias, ',', ' '} : "    ";
    label.append("--").append(o.name);
    if (!o.value.empty()) label.append(" ").append(o.value);
    return label;
}

void PrintCommandHelp(const Command& c, std::ostream& out) {
    out << "Usage: " << UsageLine(c) << "\n\n" << c.summary << ".\n" << c.help << "\nOptions:\n";
    std::vector<Option> options(c.options.begin(), c.options.end());
    options.push_back(kHelpOption);
    size_t width = 0;
    for (const Option& o : options) width = std::max(width, OptionLabel(o).size());
    for (const Option& o : options) {
        const std::string label = OptionLabel(o);
        const size_t firstLine = std::min(o.help.find('\n'), o.help.size());
        out << "  " << label << std::string(width + 2 - label.size(), ' ') << o.help.substr(0, firstLine)
            << "\n";
        if (firstLine < o.help.size())
            PrintIndented(out, o.help.substr(firstLine + 1), std::string(width + 4, ' '));
    }
    out << "\nExamples:\n";
    PrintIndented(out, c.examples, "  ");
    if (c.moreHelp) {
        out << "\n";
        c.moreHelp(out);
    }
}

// Reports a usage error of `command` as its one line; the status to exit with.
int UsageFailure(std::ostream& err, std::string_view command, std::string_view message) {
    err << "bqdm" << (command.empty() ? "" : " ") << command << ": " << message << "\n";
    return kUsage;
}

int UnknownCommand(std::ostream& err, std::string_view name) {
    std::vector<std::string_view> names{"help"};
    for (const Command& c : Commands()) names.push_back(c.name);
    return UsageFailure(
        err, "",
        "unknown command '" + std::string(name) + "'" + DidYouMean(name, names) + " (see bqdm --help)");
}

// The one place where what a command lets out becomes its exit status.
int RunCommand(const Command& command, const std::vector<std::string>& args, Streams& io) {
    try {
        const Arguments parsed = ParseArguments(args, command.options, command.maxOperands);
        if (parsed.Has(kHelpOption.name)) {
            PrintCommandHelp(command, io.out);
            return kOk;
        }
        return command.run(parsed, io);
    } catch (const UsageError& e) {
        return UsageFailure(io.err, command.name, e.message);
    } catch (const Failure& e) {
        ReportMessage(io, e.what());
        return e.status;
    } catch (const FileError& e) {
        ReportMessage(io, e.what());
        return kIoFailure;
    } catch (const Error& e) {
        ReportMessage(io, e.what());
        return kRejected;
    } catch (const std::bad_alloc&) {
        ReportMessage(io, kOutOfMemory);
        return kIoFailure;
    }
}

// bqdm help [COMMAND]: what bqdm COMMAND --help prints, or bqdm --help without COMMAND.
int RunHelp(const std::vector<std::string>& args, Streams& io) {
    try {
        const Arguments parsed = ParseArguments(args, {}, 1);
        // "help help" asks what help does: the same overview.
        if (parsed.operands.empty() || parsed.Has(kHelpOption.name) || parsed.operands[0] == "help") {
            PrintHelp(io.out);
            return kOk;
        }
        const Command* command = FindCommand(parsed.operands[0]);
        if (!command) return UnknownCommand(io.err, parsed.operands[0]);
        PrintCommandHelp(*command, io.out);
        return kOk;
    } catch (const UsageError& e) {
        return UsageFailure(io.err, "help", e.message);
    }
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
        const Console& console) {
    Streams io{in, out, err, console};
    if (args.empty()) {
        PrintHelp(err);
        return kUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") return RunHelp(rest, io);
    if (args[0] == "--version" || args[0] == "-V") {
        out << "bqdm " << kVersion << " (BQ2018DM, reporting year " << kReportingYear << ")\n";
        return kOk;
    }
    const Command* command = FindCommand(args[0]);
    if (!command) return UnknownCommand(err, args[0]);
    return RunCommand(*command, rest, io);
}

void ReportMessage(Streams& io, std::string_view message) {
    io.err << WithNewlines(DisplayedMessage(message), "\n") << "\n";
}

std::string DidYouMean(std::string_view typed, const std::vector<std::string_view>& known,
                       std::string_view prefix) {
    // Farther than this is no slip of the keyboard.
    const size_t slip = std::clamp<size_t>((typed.size() + 2) / 3, 1, 3);
    const std::string wanted = UpperCaseAscii(typed);
    std::string_view best;
    size_t bestDistance = slip + 1;
    for (std::string_view name : known) {
        const size_t d = EditDistance(wanted, UpperCaseAscii(name), slip);
        if (d < bestDistance) best = name, bestDistance = d;
    }
    if (best.empty() || bestDistance == 0) return {};
    return "; did you mean " + std::string(prefix) + std::string(best) + "?";
}

int VisibleFormNamed(std::string_view name) {
    const int index = FindFormIndex(UpperCaseAscii(name));
    if (index < kFirstVisibleForm) {
        const std::vector<std::string_view> forms(FormNames.begin() + kFirstVisibleForm, FormNames.end());
        throw UsageError("unknown form '" + std::string(name) + "'" + DidYouMean(name, forms) +
                         " (see bqdm forms)");
    }
    return index;
}

}  // namespace bq::cli
