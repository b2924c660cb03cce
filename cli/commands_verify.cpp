// bqdm check and merge: the whole conversion without windows.
#include <functional>
#include <istream>
#include <ostream>

#include "cli/commands.h"
#include "cli/json.h"
#include "cli/progress.h"
#include "platform/error.h"
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
};

CheckOptions ExtractOptions(const Arguments& args) {
    CheckOptions o;
    o.all = args.Has("all");
    o.json = args.Has("json");
    o.quiet = args.Has("quiet");
    if (args.operands.empty()) throw UsageError{"which extract? give its file name"};
    o.extract = args.operands[0];
    // The folder recorded for the filing product must name a real folder,
    // so a relative name is made absolute before anything else.
    if (o.extract != "-") o.extract = AbsolutePath(o.extract);
    return o;
}

std::string_view WarningText(char typeCode) {
    return typeCode == 'y' ? "invalid optional year, written empty" : "invalid optional date, written empty";
}

// Verifies through `verify` with a progress bar on a terminal; throws the first Error.
void Verify(Streams& io, bool drawProgress, std::function<void(const ValueProblem&)> onProblem,
            const std::function<void(const VerifyOptions&)>& verify) {
    Progress progress(io.err, drawProgress ? ProgressColumns() : 0);
    VerifyOptions options;
    options.progress = progress.Callback();
    options.onProblem = std::move(onProblem);
    verify(options);
}

void Verify(VerificationSession& session, Streams& io, bool drawProgress,
            std::function<void(const ValueProblem&)> onProblem) {
    Verify(io, drawProgress, std::move(onProblem), [&session](const VerifyOptions& o) { session.Verify(o); });
}

void WriteJsonReport(std::ostream& out, const VerificationSession& session, const std::string& fatal,
                     const std::vector<ValueProblem>& errors, const std::vector<ValueProblem>& warnings) {
    JsonWriter json(out);
    json.BeginObject();
    json.Member("extract", session.ExtractFile());
    json.Member("form", session.FormName());
    json.Member("records", fatal.empty() ? session.OutputRowCount() : 0);
    json.Member("valid", fatal.empty() && errors.empty());
    if (!fatal.empty()) json.Member("message", DisplayedMessage(fatal));
    for (const auto* list : {&errors, &warnings}) {
        const bool isError = list == &errors;
        json.BeginArray(isError ? "errors" : "warnings");
        for (const ValueProblem& p : *list) {
            const char code = session.Fields()[static_cast<size_t>(p.fieldIndex)].typeCode;
            json.BeginObject();
            json.Member("record", p.record);
            json.Member("field", p.fieldOrdinal);
            json.Member("fieldIndex", static_cast<size_t>(p.fieldIndex));
            json.Member("caption", p.caption);
            json.Member("value", p.rawValue);
            json.Member("problem", isError ? Trim(p.phrase) : WarningText(code));
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    out << "\n";
}

// Reads `extract` into `session`; false, after telling why, when it cannot be read.
bool LoadReported(VerificationSession& session, const std::string& extract, Streams& io) {
    if (extract == "-") {
        session.SetExtractFile(std::string(kStandardInput));
        std::string text;
        char piece[1 << 16];
        while (io.in.read(piece, sizeof piece) || io.in.gcount() > 0)
            text.append(piece, static_cast<size_t>(io.in.gcount()));
        if (io.in.bad()) {
            io.err << "bqdm: standard input could not be read\n";
            return false;
        }
        session.LoadExtractText(std::move(text));
        return true;
    }
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

int RunMerge(const Arguments& args, Streams& io) {
    const CheckOptions o = ExtractOptions(args);
    // The output goes next to the extract, and standard input has no folder.
    if (o.extract == "-")
        throw UsageError{"merge writes next to its extract, so it needs a file name, not -"};
    VerificationSession session;
    if (!LoadReported(session, o.extract, io)) return kIoFailure;
    MergeOutput output(session);
    try {
        Verify(io, !o.quiet, nullptr, [&output](const VerifyOptions& options) { output.Verify(options); });
    } catch (const FileError& e) {
        ReportMessage(io, e.what());
        return kIoFailure;
    } catch (const Error& e) {
        ReportMessage(io, e.what());
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

int RunCheck(const Arguments& args, Streams& io) {
    const CheckOptions o = ExtractOptions(args);
    VerificationSession session;
    if (!LoadReported(session, o.extract, io)) return kIoFailure;
    std::vector<ValueProblem> errors, warnings;
    std::string fatal;
    try {
        if (o.all || o.json)
            Verify(session, io, !o.json && !o.quiet, [&](const ValueProblem& p) {
                // Without --all only the first bad value is reported.
                if (p.message.empty())
                    warnings.push_back(p);
                else if (o.all || errors.empty())
                    errors.push_back(p);
            });
        else
            Verify(session, io, !o.quiet, nullptr);
    } catch (const FileError& e) {
        ReportMessage(io, e.what());
        return kIoFailure;
    } catch (const Error& e) {
        fatal = e.what();
    }
    if (!o.all) warnings.clear();
    const int status = fatal.empty() && errors.empty() ? kOk : kRejected;
    if (o.json) {
        WriteJsonReport(io.out, session, fatal, errors, warnings);
        return status;
    }
    if (!fatal.empty()) {
        ReportMessage(io, fatal);
        return status;
    }
    for (const ValueProblem& p : warnings) {
        const char code = session.Fields()[static_cast<size_t>(p.fieldIndex)].typeCode;
        io.err << "warning: Record # " << p.record << ", Field # " << p.fieldOrdinal
               << ", destination field \"" << p.caption << "\" value \"" << p.rawValue
               << "\": " << WarningText(code) << "\n";
    }
    for (const ValueProblem& p : errors) {
        ReportMessage(io, p.message);
        io.err << "\n";
    }
    if (!errors.empty())
        io.err << errors.size() << (errors.size() == 1 ? " bad value" : " bad values") << " in "
               << session.ExtractFile() << "\n";
    if (status == kOk)
        io.out << session.FormName() << ": " << session.OutputRowCount()
               << (session.OutputRowCount() == 1 ? " record" : " records") << ", valid\n";
    return status;
}

}  // namespace bq::cli
