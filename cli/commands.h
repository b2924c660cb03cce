// Internal to bqdm: the command table and what the commands share.
#pragma once

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "cli/options.h"

namespace bq::cli {

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// A usage error: its text goes to stderr as one line and bqdm exits with 2.
struct UsageError {
    std::string message;
};

struct Command {
    std::string_view name;
    std::string_view synopsis;  // the arguments, for the usage lines
    std::string_view summary;   // one line for bqdm --help
    std::string_view help;      // what the command does, for COMMAND --help
    std::span<const Option> options;
    size_t maxOperands;
    std::string_view examples;  // command lines, one a line, for COMMAND --help
    int (*run)(const Arguments& args, Streams& io);
    void (*moreHelp)(std::ostream& out) = nullptr;  // a closing section of COMMAND --help, if any
};

// Every command, in the order bqdm --help lists them.
std::span<const Command> Commands();

int RunForms(const Arguments& args, Streams& io);
int RunFields(const Arguments& args, Streams& io);
int RunTypes(const Arguments& args, Streams& io);
int RunTemplate(const Arguments& args, Streams& io);
int RunCheck(const Arguments& args, Streams& io);
int RunMerge(const Arguments& args, Streams& io);
int RunExtract(const Arguments& args, Streams& io);
int RunPreview(const Arguments& args, Streams& io);

// Writes the CSV header row of the ticked fields of `formIndex` to `output`
// (stdout when empty), replacing a file only when `force` is set.
int SaveCsvTemplate(int formIndex, const std::vector<bool>& ticks, const std::string& output, bool force,
                    Streams& io);

// The legend of the type codes, for bqdm fields --help.
void PrintTypeCodeLegend(std::ostream& out);

// The visible form named `name` in any letter case; throws UsageError.
int VisibleFormNamed(std::string_view name);

// Writes a system message to stderr as the application error display shows it.
void ReportMessage(Streams& io, std::string_view message);

// Runs `work` and returns kOk; a message of a failing file is told and gives
// kIoFailure, any other Error is told and gives kRejected.
int RunReported(Streams& io, const std::function<void()>& work);

}  // namespace bq::cli
