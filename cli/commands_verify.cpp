// bqdm check and merge: the whole conversion without windows.
#include <functional>
#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/problem_report.h"
#include "cli/progress.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/terminal.h"
#include "schema/text.h"
#include "shell/messages.h"
#include "verify/merge_output.h"
#include "verify/verification_session.h"

namespace bq::cli {
namespace {

struct CheckOptions {
    std::string extract;
    bool all = false;
    bool json = false;
    bool strict = false;
    std::optional<size_t> maxProblems;
};

CheckOptions ParseExtractArgs(const std::vector<std::string>& args, bool isCheck) {
    CheckOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (isCheck && a == "--all") {
            o.all = true;
        } else if (isCheck && a == "--json") {
            o.json = true;
        } else if (a == "--strict") {
            o.strict = true;
        } else if (a == "--max-problems") {
            if (i + 1 == args.size()) throw UsageError{"--max-problems needs a number"};
            const std::string& n = args[++i];
            if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos)
                throw UsageError{"--max-problems needs a number, not '" + n + "'"};
            o.maxProblems = std::stoul(n);
        } else if (o.extract.empty() && !a.empty() && (a[0] != '-' || a.size() == 1)) {
            o.extract = a;
        } else {
            throw UsageError{"unexpected argument '" + a + "'"};
        }
    }
    if (o.extract.empty()) throw UsageError{"which extract? give its file name"};
    // The folder recorded for the filing product must name a real folder,
    // so a relative name is made absolute before anything else.
    o.extract = AbsolutePath(o.extract);
    return o;
}

// Problems shown as text unless asked otherwise; a JSON report holds them all.
constexpr size_t kShownProblems = 100;

// Verifies through `verify` with a progress bar on a terminal; throws the first Error.
void Verify(Streams& io, bool drawProgress, VerifyOptions options,
            const std::function<void(const VerifyOptions&)>& verify) {
    Progress progress(io.err, drawProgress && StderrIsTerminal());
    options.progress = progress.Callback();
    verify(options);
}

// Opens the extract of `session`; false, after telling why, when it cannot be read.
bool LoadReported(VerificationSession& session, const std::string& extract, Streams& io) {
    session.SetExtractFile(extract);
    try {
        session.LoadExtract();
        return true;
    } catch (const Error& e) {
        ReportMessage(io, e.what());
        return false;
    }
}

}  // namespace

int RunMerge(const std::vector<std::string>& args, Streams& io) {
    const CheckOptions o = ParseExtractArgs(args, false);
    ProblemReport report(o.extract, o.maxProblems.value_or(kShownProblems));
    VerificationSession session;
    if (!LoadReported(session, o.extract, io)) return kIoFailure;
    MergeOutput output(session);
    try {
        VerifyOptions options;
        options.onWarning = [&report](const ValueProblem& p) { report.Add(p); };
        Verify(io, true, options, [&output](const VerifyOptions& options) { output.Verify(options); });
    } catch (const FileError& e) {
        ReportMessage(io, e.what());
        return kIoFailure;
    } catch (const Error& e) {
        ReportMessage(io, e.what());
        return kRejected;
    }
    report.WriteProblems(io.err);
    if (o.strict && report.Warnings() != 0) {
        io.err << "bqdm: warnings fail the merge (--strict); nothing was written\n";
        return kRejected;
    }
    try {
        const auto registry = OpenUserRegistry();
        const std::string instructions = output.Save(*registry);
        io.out << WithNewlines(instructions, "\n") << "\n";
    } catch (const Error& e) {
        ReportMessage(io, e.what());
        return kIoFailure;
    }
    return kOk;
}

int RunCheck(const std::vector<std::string>& args, Streams& io) {
    const CheckOptions o = ParseExtractArgs(args, true);
    ProblemReport report(o.extract, o.maxProblems.value_or(o.json ? 0 : kShownProblems));
    VerificationSession session;
    session.SetExtractFile(o.extract);
    int status = kOk;
    try {
        session.LoadExtract();
        VerifyOptions options;
        const auto add = [&report](const ValueProblem& p) { report.Add(p); };
        if (o.all || o.json)
            options.onProblem = [&o, &report](const ValueProblem& p) {
                // Without --all only the first bad value is reported.
                if (o.all || !p.error || report.Errors() == 0) report.Add(p);
            };
        else
            options.onWarning = add;
        Verify(io, !o.json, options, [&session](const VerifyOptions& options) { session.Verify(options); });
    } catch (const FileError& e) {
        if (!o.json) {
            ReportMessage(io, e.what());
            return kIoFailure;
        }
        report.SetFault({"cannot-open", 0, e.what(), "check the file's name and that it may be read"});
        status = kIoFailure;
    } catch (const ExtractError& e) {
        if (!o.all && !o.json) {
            ReportMessage(io, e.what());
            return kRejected;
        }
        report.SetFault({e.code, e.line, e.what(), e.hint});
    } catch (const Error& e) {
        // The first bad value, when only the first is wanted: the system's message alone.
        ReportMessage(io, e.what());
        return kRejected;
    }
    const bool valid = !report.HasFault() && report.Errors() == 0 && !(o.strict && report.Warnings() != 0);
    if (status == kOk && !valid) status = kRejected;
    report.SetOutcome(session.FormName(), report.HasFault() ? 0 : session.OutputRowCount());
    if (o.json) {
        report.WriteJson(io.out, valid);
        return status;
    }
    report.WriteFault(io.err);
    report.WriteProblems(io.err);
    if (o.all) report.WriteSummary(io.err);
    if (valid)
        io.out << session.FormName() << ": " << session.OutputRowCount()
               << (session.OutputRowCount() == 1 ? " record" : " records") << ", valid\n";
    return status;
}

}  // namespace bq::cli
