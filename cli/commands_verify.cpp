// bqdm check and merge: the whole conversion without windows.
#include <functional>
#include <istream>
#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/problem_report.h"
#include "cli/progress.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "schema/text.h"
#include "shell/messages.h"
#include "verify/merge_output.h"
#include "verify/verification_session.h"

namespace bq::cli {
namespace {

// How the extract read from standard input is named in messages.
constexpr std::string_view kStandardInput = "(standard input)";

struct CheckOptions {
    std::string extract;  // "-" for standard input
    bool all = false;
    bool json = false;
    bool quiet = false;
    bool strict = false;
    std::optional<size_t> maxProblems;
};

CheckOptions ExtractOptions(const Arguments& args) {
    CheckOptions o;
    o.all = args.Has(option::kAll);
    o.json = args.Has(option::kJson);
    o.quiet = args.Has(option::kQuiet);
    o.strict = args.Has(option::kStrict);
    if (const auto n = args.Value(option::kMaxProblems)) {
        if (n->empty() || n->size() > 9 || n->find_first_not_of("0123456789") != std::string::npos)
            throw UsageError("--max-problems needs a number, not '" + *n + "'");
        o.maxProblems = std::stoul(*n);
    }
    if (args.operands.empty()) throw UsageError("which extract? give its file name");
    o.extract = args.operands[0];
    // The folder recorded for the filing product must name a real folder,
    // so a relative name is made absolute before anything else.
    if (o.extract != "-") o.extract = AbsolutePath(o.extract);
    return o;
}

// Problems shown as text unless asked otherwise; a JSON report holds them all.
constexpr size_t kShownProblems = 100;

// Verifies through `verify` with a progress bar on a terminal; throws the first Error.
void Verify(Streams& io, bool drawProgress, VerifyOptions options,
            const std::function<void(const VerifyOptions&)>& verify) {
    Progress progress(io.console.bar ? *io.console.bar : io.err,
                      drawProgress ? io.console.progressColumns : 0);
    options.progress = progress.Callback();
    verify(options);
}

// Opens the extract of `session` (standard input for "-"); false, after
// telling why, when standard input cannot be read. A file that cannot be
// opened throws a Failure with kIoFailure.
bool LoadReported(VerificationSession& session, const std::string& extract, Streams& io) {
    AsIoFailure([&] {
        if (extract != "-") {
            session.SetExtractFile(extract);
            session.LoadExtract();
            return;
        }
        // Standard input is read once, into a temporary file: the checks
        // read the extract twice, and memory stays small at any size.
        session.SetExtractFile(std::string(kStandardInput));
        session.LoadExtractFile(InputFile::Spooled(
            [&io](char* out, size_t size) {
                io.in.read(out, static_cast<std::streamsize>(size));
                return static_cast<size_t>(io.in.gcount());
            },
            std::string(kStandardInput)));
    });
    if (extract == "-" && io.in.bad()) {
        io.err << "bqdm: standard input could not be read\n";
        return false;
    }
    return true;
}

// `path` with its own line breaks shown as "\x0d" and "\x0a".
std::string BreaksShown(std::string_view path) {
    std::string shown;
    for (const char c : path) {
        if (c == '\r' || c == '\n')
            shown += c == '\r' ? "\\x0d" : "\\x0a";
        else
            shown += c;
    }
    return shown;
}

// What the verification tells `report`: every problem with --all or
// --json (without --all only the first bad value), the warnings otherwise.
VerifyOptions ReportingTo(ProblemReport& report, const CheckOptions& o) {
    VerifyOptions options;
    if (o.all || o.json)
        options.onProblem = [all = o.all, &report](const ValueProblem& p) {
            if (all || !p.error || report.Errors() == 0) report.Add(p);
        };
    else
        options.onWarning = [&report](const ValueProblem& p) { report.Add(p); };
    return options;
}

// The check's report: the JSON document, or the problems on stderr and a
// valid extract's line on stdout.
void WriteOutcome(ProblemReport& report, const VerificationSession& session, const CheckOptions& o,
                  bool valid, Streams& io) {
    if (o.json) {
        report.WriteJson(io.out, valid);
        return;
    }
    report.WriteFault(io.err);
    report.WriteProblems(io.err);
    if (o.all) report.WriteSummary(io.err);
    if (o.strict && !report.HasFault() && report.Errors() == 0 && report.Warnings() != 0)
        io.err << "bqdm: warnings fail the check (--strict)\n";
    if (valid)
        io.out << session.FormName() << ": " << session.OutputRowCount()
               << (session.OutputRowCount() == 1 ? " record" : " records") << ", valid\n";
}

}  // namespace

int RunMerge(const Arguments& args, Streams& io) {
    if (const auto batch = ExtractsOfBatch(args)) return RunBatch(*batch, args, io, Batch::Merge);
    const CheckOptions o = ExtractOptions(args);
    // The output goes next to the extract, and standard input has no folder.
    if (o.extract == "-")
        throw UsageError("merge writes next to its extract, so it needs a file name, not -");
    ProblemReport report(o.extract, o.maxProblems.value_or(kShownProblems));
    VerificationSession session;
    if (!LoadReported(session, o.extract, io)) return kIoFailure;
    MergeOutput output(session);
    VerifyOptions options;
    options.onWarning = [&report](const ValueProblem& p) { report.Add(p); };
    Verify(io, !o.quiet, options, [&output](const VerifyOptions& v) { output.Verify(v); });
    report.WriteProblems(io.err);
    if (o.strict && report.Warnings() != 0) {
        io.err << "bqdm: warnings fail the merge (--strict); nothing was written\n";
        return kRejected;
    }
    const bool record = !args.Has(option::kNoRegistry);
    std::string instructions = AsIoFailure([&output, record] {
        try {
            return record ? output.Save(*OpenUserRegistry()) : output.Save(NoRegistry());
        } catch (const RegistryError& e) {
            // The system's message, and below it why, where that is known.
            if (e.reason.empty()) throw;
            throw Error(DisplayedMessage(e.what()) + "\r\n" + e.reason);
        }
    });
    if (o.quiet) return kOk;
    if (io.console.outIsTerminal)
        instructions = ImportInstructions(BreaksShown(o.extract), session.FormName());
    io.out << WithNewlines(instructions, "\n") << "\n";
    return kOk;
}

int RunCheck(const Arguments& args, Streams& io) {
    if (const auto batch = ExtractsOfBatch(args)) return RunBatch(*batch, args, io, Batch::Check);
    const CheckOptions o = ExtractOptions(args);
    ProblemReport report(o.extract == "-" ? std::string(kStandardInput) : o.extract,
                         o.maxProblems.value_or(o.json ? 0 : kShownProblems),
                         o.json ? ReportFormat::Json : ReportFormat::Text);
    VerificationSession session;
    int status = kOk;
    try {
        if (o.extract == "-") {
            if (!LoadReported(session, o.extract, io)) return kIoFailure;
        } else {
            session.SetExtractFile(o.extract);
            session.LoadExtract();
        }
        Verify(io, !o.json && !o.quiet, ReportingTo(report, o),
               [&session](const VerifyOptions& options) { session.Verify(options); });
    } catch (const FileError& e) {
        if (!o.json) throw;
        report.SetFault(
            {"cannot-open", 0, e.what(), e.what(), "check the file's name and that it may be read"});
        status = kIoFailure;
    } catch (const ExtractError& e) {
        // Only the first bad value or fault is wanted: the system's message alone.
        if (!o.all && !o.json) throw;
        report.SetFault({e.code, e.line, e.what(), e.text, e.hint});
    }
    const bool valid = !report.HasFault() && report.Errors() == 0 && !(o.strict && report.Warnings() != 0);
    if (status == kOk && !valid) status = kRejected;
    report.SetOutcome(session.FormName(), report.HasFault() ? 0 : session.OutputRowCount());
    WriteOutcome(report, session, o, valid, io);
    return status;
}

}  // namespace bq::cli
