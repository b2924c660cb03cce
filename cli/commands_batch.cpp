// bqdm check and merge of many extracts in one call, as a night run does
// them: each extract on its own, one line each, a summary, and the exit
// status of the worst. With one file named, check and merge are as before.
#include <ostream>

#include "cli/commands.h"
#include "cli/extract_list.h"
#include "cli/problem_report.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "schema/text.h"
#include "shell/messages.h"
#include "verify/merge_output.h"
#include "verify/verification_session.h"

namespace bq::cli {
namespace {

// What became of one extract.
enum class Outcome { Valid, Rejected, Unreadable };

// The first bad value, which ends an extract's verification here.
struct FirstBadValue {
    ValueProblem problem;
};

// `text` on one line: its line breaks as single blanks.
std::string OneLine(std::string_view text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool isBreak = text[i] == '\r' || text[i] == '\n';
        if (!isBreak)
            line += text[i];
        else if (i > 0 && text[i - 1] != '\r' && text[i - 1] != '\n')
            line += ' ';
    }
    return line;
}

std::string Records(size_t n) { return std::to_string(n) + (n == 1 ? " record" : " records"); }

// A registry that records nothing, for --no-registry.
class NoRegistry : public Registry {
  public:
    void SetTextDirectory(std::string_view) override {}
};

struct Tally {
    size_t valid = 0, rejected = 0, unreadable = 0;
    void Count(Outcome outcome) {
        switch (outcome) {
            case Outcome::Valid:
                ++valid;
                break;
            case Outcome::Rejected:
                ++rejected;
                break;
            case Outcome::Unreadable:
                ++unreadable;
                break;
        }
    }
    int Status() const { return unreadable ? kIoFailure : rejected ? kRejected : kOk; }
};

}  // namespace

bool IsBatch(const Arguments& args) {
    if (args.operands.size() != 1) return args.operands.size() > 1;
    const std::string& only = args.operands[0];
    return only != "-" && !RegularFileExists(only) &&
           (FolderExists(only) || ListExtracts({only}, Recursive::No).extracts.front().path != only);
}

int RunBatch(const Arguments& args, Streams& io, Batch batch) {
    const bool merge = batch == Batch::Merge;
    const bool quiet = args.Has(option::kQuiet), strict = args.Has(option::kStrict);
    if (!merge && (args.Has(option::kJson) || args.Has(option::kAll)))
        throw UsageError("--all and --json take one extract; name it alone");
    const ExtractList list =
        ListExtracts(args.operands, args.Has(option::kRecursive) ? Recursive::Yes : Recursive::No);
    std::unique_ptr<Registry> registry;
    NoRegistry none;
    Tally tally;
    std::string lastOutput, lastForm;
    for (const NamedExtract& named : list.extracts) {
        if (!named.fault.empty()) {
            io.out << named.path << ": " << named.fault << "\n";
            tally.Count(Outcome::Unreadable);
            continue;
        }
        const std::string path = AbsolutePath(named.path);
        ProblemReport report(path, 100);
        VerificationSession session;
        Outcome outcome = Outcome::Valid;
        std::string line;
        try {
            session.SetExtractFile(path);
            session.LoadExtract();
            VerifyOptions options;
            options.onProblem = [&report](const ValueProblem& p) {
                if (p.error) throw FirstBadValue{p};
                report.Add(p);
            };
            if (merge) {
                MergeOutput output(session);
                output.Verify(options);
                if (strict && report.Warnings() != 0)
                    throw ExtractError("warnings fail the merge (--strict)", path, "strict", 0, {});
                if (!registry && !args.Has(option::kNoRegistry)) registry = OpenUserRegistry();
                output.Save(registry ? *registry : static_cast<Registry&>(none));
                lastOutput = path;
                lastForm = session.FormName();
                line = "written to " + OutputFileName(path) + ", " + Records(session.OutputRowCount());
            } else {
                session.Verify(options);
                if (strict && report.Warnings() != 0)
                    throw ExtractError("warnings fail the check (--strict)", path, "strict", 0, {});
                line = "valid, " + Records(session.OutputRowCount());
            }
        } catch (const FirstBadValue& bad) {
            const ValueProblem& p = bad.problem;
            outcome = Outcome::Rejected;
            line = "rejected: line " + std::to_string(p.line) + " record " + std::to_string(p.record) +
                   " field " + std::to_string(p.fieldOrdinal) + " \"" + p.caption +
                   "\": " + std::string(p.rejected) + " \"" + p.rawValue + "\" [" + std::string(p.code) + "]";
        } catch (const ExtractError& e) {
            outcome = Outcome::Rejected;
            line = "rejected: " + OneLine(e.text) + " [" + std::string(e.code) + "]";
        } catch (const Error& e) {
            outcome = Outcome::Unreadable;
            line = OneLine(e.what());
        }
        tally.Count(outcome);
        report.WriteProblems(io.err);
        if (!quiet || outcome != Outcome::Valid) io.out << named.path << ": " << line << "\n";
    }
    const size_t total = list.extracts.size();
    if (!quiet) {
        io.out << total << (total == 1 ? " extract: " : " extracts: ") << tally.valid << " valid, "
               << tally.rejected << " rejected, " << tally.unreadable << " could not be read; "
               << list.skipped << " skipped\n";
        if (merge && !lastOutput.empty())
            io.out << "\n" << WithNewlines(ImportInstructions(lastOutput, lastForm), "\n") << "\n";
    }
    return tally.Status();
}

}  // namespace bq::cli
