// Internal to bqdm: the command table and what the commands share.
#pragma once

#include <exception>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "cli/extract_list.h"
#include "cli/options.h"
#include "platform/error.h"
#include "platform/registry.h"

namespace bq::cli {

// The options' names, shared by the command table and the commands.
namespace option {
inline constexpr std::string_view kIndex = "index";
inline constexpr std::string_view kJson = "json";
inline constexpr std::string_view kFields = "fields";
inline constexpr std::string_view kOutput = "output";
inline constexpr std::string_view kCsv = "csv";
inline constexpr std::string_view kForce = "force";
inline constexpr std::string_view kFrom = "from";
inline constexpr std::string_view kDelimiter = "delimiter";
inline constexpr std::string_view kEncoding = "encoding";
inline constexpr std::string_view kRecords = "records";
inline constexpr std::string_view kQuiet = "quiet";
inline constexpr std::string_view kStrict = "strict";
inline constexpr std::string_view kMaxProblems = "max-problems";
inline constexpr std::string_view kRecursive = "recursive";
inline constexpr std::string_view kNoRegistry = "no-registry";
inline constexpr std::string_view kAll = "all";
}  // namespace option

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const Console& console;
};

// A usage error: its text goes to stderr as one line and bqdm exits with 2.
class UsageError : public std::exception {
  public:
    explicit UsageError(std::string message) : message(std::move(message)) {}
    const char* what() const noexcept override { return message.c_str(); }
    std::string message;
};

// A failure told by its message, ending the command with `status`. Every
// exception a command lets out is turned into its exit status in one place,
// RunCommand: this one by its status, a FileError into kIoFailure, any other
// Error into kRejected, a UsageError into kUsage.
class Failure : public Error {
  public:
    Failure(const std::string& message, int status) : Error(message), status(status) {}
    int status;
};

// Runs `work`, any Error of which is a failure to read or write (a file,
// the registry value, the output), not a rejection of the extract.
template <typename Work>
decltype(auto) AsIoFailure(Work&& work) {
    try {
        return work();
    } catch (const Error& e) {
        throw Failure(e.what(), kIoFailure);
    }
}

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

// The extracts check or merge is given when they are several, a folder or
// a pattern; nullopt for one file (or standard input).
std::optional<ExtractList> ExtractsOfBatch(const Arguments& args);

enum class Batch { Check, Merge };

// A registry that records nothing, for --no-registry.
Registry& NoRegistry();

// Checks or merges every extract `args` names, each on its own: a line
// each, a summary, and the worst status (3 unreadable, 1 rejected, 0).
int RunBatch(const ExtractList& list, const Arguments& args, Streams& io, Batch batch);

// Writes the CSV header row of the ticked fields of `formIndex` to `output`
// (stdout when empty), replacing a file only when `force` is set.
int SaveCsvTemplate(int formIndex, const std::vector<bool>& ticks, const std::string& output, bool force,
                    Streams& io);

// The legend of the type codes, for bqdm fields --help.
void PrintTypeCodeLegend(std::ostream& out);

// "; did you mean X?" for the one of `known` that `typed` is a slip of the
// keyboard away from (letter case aside), the nearest; empty when none is.
std::string DidYouMean(std::string_view typed, const std::vector<std::string_view>& known,
                       std::string_view prefix = "");

// The visible form named `name` in any letter case; throws UsageError.
int VisibleFormNamed(std::string_view name);

// Writes a system message to stderr as the application error display shows it.
void ReportMessage(Streams& io, std::string_view message);

}  // namespace bq::cli
