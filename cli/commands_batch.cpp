// bqdm check and merge of many extracts in one call, as a night run does
// them: each extract on its own, one line each, a summary, and the exit
// status of the worst. With one file named, check and merge are as before.
#include <optional>
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

std::optional<ExtractList> ExtractsOfBatch(const Arguments& args) {
    const Recursive recursive = args.Has(option::kRecursive) ? Recursive::Yes : Recursive::No;
    if (args.operands.size() != 1) {
        if (args.operands.empty()) return std::nullopt;
        return ListExtracts(args.operands, recursive);
    }
    const std::string& only = args.operands[0];
    if (only == "-" || RegularFileExists(only)) return std::nullopt;
    ExtractList list = ListExtracts({only}, recursive);
    // A name that is no file, folder or pattern is the one extract, whose opening tells why.
    if (!FolderExists(only) && list.extracts.size() == 1 && list.extracts.front().path == only)
        return std::nullopt;
    return list;
}

namespace {

// What verifying, and for a merge writing, one extract gave.
struct Result {
    Outcome outcome = Outcome::Valid;
    std::string line;  // what is told after the extract's path
};

// The extracts of one call, one after the other.
class BatchRun {
  public:
    BatchRun(const Arguments& args, Batch batch)
        : args_(args), merge_(batch == Batch::Merge), strict_(args.Has(option::kStrict)) {}

    // Verifies, and for a merge writes, the extract at `path`; its warnings go to `report`.
    Result One(const std::string& path, ProblemReport& report) {
        try {
            return merge_ ? Merge(path, report) : Check(path, report);
        } catch (const FirstBadValue& bad) {
            const ValueProblem& p = bad.problem;
            return {Outcome::Rejected, "rejected: line " + std::to_string(p.line) + " record " +
                                           std::to_string(p.record) + " field " +
                                           std::to_string(p.fieldOrdinal) + " \"" + p.caption +
                                           "\": " + std::string(p.rejected) + " \"" + p.rawValue + "\"" +
                                           " [" + std::string(p.code) + "]"};
        } catch (const ExtractError& e) {
            return {Outcome::Rejected, "rejected: " + OneLine(e.text) + " [" + std::string(e.code) + "]"};
        } catch (const Error& e) {
            return {Outcome::Unreadable, OneLine(e.what())};
        }
    }

    // The extract whose output was written last, and its form; empty when none was.
    const std::string& LastOutput() const { return lastOutput_; }
    const std::string& LastForm() const { return lastForm_; }

  private:
    static VerifyOptions OptionsFor(ProblemReport& report) {
        VerifyOptions options;
        options.onProblem = [&report](const ValueProblem& p) {
            if (p.error) throw FirstBadValue{p};
            report.Add(p);
        };
        return options;
    }

    void RefuseWarnings(const ProblemReport& report, const std::string& path,
                        std::string_view command) const {
        if (strict_ && report.Warnings() != 0)
            throw ExtractError("warnings fail the " + std::string(command) + " (--strict)", path, "strict", 0,
                               {});
    }

    Result Check(const std::string& path, ProblemReport& report) {
        VerificationSession session;
        session.SetExtractFile(path);
        session.LoadExtract();
        session.Verify(OptionsFor(report));
        RefuseWarnings(report, path, "check");
        return {Outcome::Valid, "valid, " + Records(session.OutputRowCount())};
    }

    Result Merge(const std::string& path, ProblemReport& report) {
        VerificationSession session;
        session.SetExtractFile(path);
        session.LoadExtract();
        MergeOutput output(session);
        output.Verify(OptionsFor(report));
        RefuseWarnings(report, path, "merge");
        output.Save(Registry());
        lastOutput_ = path;
        lastForm_ = session.FormName();
        return {Outcome::Valid,
                "written to " + OutputFileName(path) + ", " + Records(session.OutputRowCount())};
    }

    // The user's registry, opened once, when the first output is written.
    bq::Registry& Registry() {
        if (args_.Has(option::kNoRegistry)) return NoRegistry();
        if (!registry_) registry_ = OpenUserRegistry();
        return *registry_;
    }

    const Arguments& args_;
    bool merge_, strict_;
    std::unique_ptr<bq::Registry> registry_;
    std::string lastOutput_, lastForm_;
};

}  // namespace

Registry& NoRegistry() {
    // Records nothing, for a filing product that does not run here.
    static class : public Registry {
      public:
        void SetTextDirectory(std::string_view) override {}
    } none;
    return none;
}

int RunBatch(const ExtractList& list, const Arguments& args, Streams& io, Batch batch) {
    if (batch == Batch::Check && (args.Has(option::kJson) || args.Has(option::kAll)))
        throw UsageError("--all and --json take one extract; name it alone");
    const bool quiet = args.Has(option::kQuiet);
    BatchRun run(args, batch);
    Tally tally;
    for (const NamedExtract& named : list.extracts) {
        Result result{Outcome::Unreadable, named.fault};
        if (named.fault.empty()) {
            const std::string path = AbsolutePath(named.path);
            ProblemReport report(path, 100);
            result = run.One(path, report);
            report.WriteProblems(io.err);
        }
        tally.Count(result.outcome);
        if (!quiet || result.outcome != Outcome::Valid) io.out << named.path << ": " << result.line << "\n";
    }
    if (quiet) return tally.Status();
    const size_t total = list.extracts.size();
    io.out << total << (total == 1 ? " extract: " : " extracts: ") << tally.valid << " valid, "
           << tally.rejected << " rejected, " << tally.unreadable << " could not be read; " << list.skipped
           << " skipped\n";
    if (!run.LastOutput().empty())
        io.out << "\n" << WithNewlines(ImportInstructions(run.LastOutput(), run.LastForm()), "\n") << "\n";
    return tally.Status();
}

}  // namespace bq::cli
