// Internal to bqdm: the command table and what the commands share.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"

namespace bq::cli {

struct Streams {
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
    std::string_view help;      // the rest of bqdm COMMAND --help
    int (*run)(const std::vector<std::string>& args, Streams& io);
};

int RunForms(const std::vector<std::string>& args, Streams& io);
int RunFields(const std::vector<std::string>& args, Streams& io);
int RunTemplate(const std::vector<std::string>& args, Streams& io);
int RunExtract(const std::vector<std::string>& args, Streams& io);
int RunCheck(const std::vector<std::string>& args, Streams& io);
int RunMerge(const std::vector<std::string>& args, Streams& io);
int RunPreview(const std::vector<std::string>& args, Streams& io);

// Writes the CSV header row of the ticked fields of `formIndex` to `output`
// (stdout when empty), replacing a file only when `force` is set.
int SaveCsvTemplate(int formIndex, const std::vector<bool>& ticks, const std::string& output, bool force,
                    Streams& io);

// The visible form named `name` in any letter case; throws UsageError.
int VisibleFormNamed(std::string_view name);

// Writes a system message to stderr as the application error display shows it.
void ReportMessage(Streams& io, std::string_view message);

}  // namespace bq::cli
