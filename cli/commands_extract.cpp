// bqdm extract: a spreadsheet's CSV made into a data extract, which is then
// verified with every problem reported at its CSV row and column; and the
// CSV header row that bqdm template --csv gives to start a spreadsheet from.
#include <algorithm>
#include <new>
#include <optional>
#include <ostream>
#include <utility>

#include "cli/commands.h"
#include "cli/json.h"
#include "extract/csv_extract.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "schema/form_catalogue.h"
#include "schema/text.h"
#include "shell/messages.h"
#include "verify/verification_session.h"

namespace bq::cli {
namespace {

struct ExtractArgs {
    std::string form, csv, output;
    bool force = false, json = false;
    CsvOptions options;
};

char DelimiterNamed(std::string_view text) {
    if (text == "tab" || text == "\\t") return '\t';
    if (text.size() != 1 || text == "\"" || text == "\r" || text == "\n")
        throw UsageError("--delimiter takes one character, such as ';', or 'tab'");
    return text[0];
}

TextEncoding EncodingNamed(std::string_view text) {
    const std::string name = UpperCaseAscii(text);
    if (name == "UTF-8" || name == "UTF8") return TextEncoding::Utf8;
    if (name == "WINDOWS-1252" || name == "CP1252") return TextEncoding::Windows1252;
    throw UsageError("--encoding takes utf-8 or windows-1252");
}

// DATA.csv gives DATA.txt in the same folder.
std::string ExtractNameFor(const std::string& csv) {
    std::string name = FileNamePart(csv);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return FolderPart(csv) + name + ".txt";
}

ExtractArgs ParseArgs(const Arguments& args) {
    ExtractArgs a;
    if (!args.operands.empty()) a.form = args.operands[0];
    a.csv = args.Value(option::kFrom).value_or("");
    a.output = args.Value(option::kOutput).value_or("");
    if (const auto d = args.Value(option::kDelimiter)) a.options.delimiter = DelimiterNamed(*d);
    if (const auto e = args.Value(option::kEncoding)) a.options.encoding = EncodingNamed(*e);
    a.force = args.Has(option::kForce);
    a.json = args.Has(option::kJson);
    if (a.form.empty()) throw UsageError("which form? (see bqdm forms)");
    if (a.csv.empty()) throw UsageError("which spreadsheet? give --from DATA.csv");
    if (a.output.empty()) a.output = ExtractNameFor(a.csv);
    return a;
}

constexpr std::string_view kExists = "It exists; --force replaces it";

// Refuses to replace a file unless told to, before any work is done; never the file being read.
void ExpectWritable(const std::string& output, bool force, const std::string& input) {
    if (!input.empty() && AbsolutePath(output) == AbsolutePath(input))
        throw CannotCreateFile(output, "It is the CSV being read; name the extract with -o");
    if (!force && RegularFileExists(output)) throw CannotCreateFile(output, kExists);
}

// Writes `bytes` to `output`, replacing a file only when forced: without
// force the file is published only under a name nobody has, in one step,
// so that of concurrent runs exactly one writes it.
void Publish(const std::string& output, std::string_view bytes, bool force, WriteOptions options = {}) {
    options.existing = force ? Existing::Replace : Existing::Keep;
    try {
        WriteFileAtomically(output, bytes, options);
    } catch (const FileExists&) {
        throw CannotCreateFile(output, kExists);
    }
}

// One thing to tell about the CSV: a value verification reported, or an empty row.
struct Finding {
    CsvCell cell;  // column 0: the whole row
    bool rejected = false;
    std::string header;
    std::optional<ValueProblem> value;
    char typeCode = 0;
};

std::string ProblemText(const Finding& f) {
    if (!f.value) return "empty row, skipped";
    const ValueProblem& p = *f.value;
    if (f.rejected) return MapsText(p);
    return p.remark + (p.rawValue.empty() ? "" : " \"" + p.rawValue + "\"");
}

// The finding of `problem`, a value of the extract, placed in the CSV.
Finding FindingOf(const CsvExtract& extract, const VerificationSession& session,
                  const ValueProblem& problem) {
    // A warning about a whole record points at its row.
    if (problem.fieldOrdinal == 0) return {{extract.CellOf(problem.record, 1).row, 0}, false, "", problem, 0};
    return {extract.CellOf(problem.record, problem.fieldOrdinal), problem.error,
            extract.headers[problem.fieldOrdinal - 1], problem,
            session.Selection().Fields()[static_cast<size_t>(problem.fieldIndex)].typeCode};
}

// DATA.csv:ROW:COLUMN "Header": problem, as a compiler names a place.
std::string FindingLine(std::string_view csv, const Finding& f) {
    // Appended piece by piece: GCC 12 warns falsely about "literal" + std::string here.
    std::string line(csv);
    line.append(":").append(std::to_string(f.cell.row));
    if (f.cell.column != 0)
        line.append(":").append(std::to_string(f.cell.column)).append(" \"").append(f.header).append("\"");
    line.append(f.rejected ? ": " : ": warning: ").append(ProblemText(f));
    if (f.value) {
        line.append(" [").append(f.value->code).append("]");
        if (!f.value->hint.empty()) line.append("\n    ").append(f.value->hint);
    }
    return line;
}

// Whether the extract was written.
enum class Written { No, Yes };

void WriteJson(std::ostream& out, const ExtractArgs& a, int form, Written written, size_t records,
               const std::string& fatal, const std::vector<Finding>& findings) {
    JsonWriter json(out);
    json.BeginObject();
    json.Member("csv", a.csv);
    json.Member("extract", a.output);
    json.Member("form", FormNames[static_cast<size_t>(form)]);
    json.Member("written", written == Written::Yes);
    json.Member("records", records);
    const bool rejected =
        std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.rejected; });
    json.Member("valid", fatal.empty() && !rejected);
    if (!fatal.empty()) json.Member("message", DisplayedMessage(fatal));
    for (const bool errors : {true, false}) {
        json.BeginArray(errors ? "errors" : "warnings");
        for (const Finding& f : findings) {
            if (f.rejected != errors) continue;
            json.BeginObject();
            json.Member("csvRow", f.cell.row);
            if (f.value) {
                const ValueProblem& p = *f.value;
                json.Member("csvColumn", f.cell.column);
                json.Member("header", f.header);
                WriteProblemMembers(json, p, AbsolutePath(a.output));
            } else {
                json.Member("code", "empty-row");
                json.Member("message", ProblemText(f));
            }
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    out << "\n";
}

// Verifies the extract just written, taking its bytes; every problem it has becomes a finding.
void CheckWritten(const ExtractArgs& a, CsvExtract& extract, std::vector<Finding>& findings) {
    VerificationSession session;
    session.SetExtractFile(AbsolutePath(a.output));
    session.LoadExtractText(std::move(extract.bytes));
    VerifyOptions options;
    options.onProblem = [&](const ValueProblem& p) { findings.push_back(FindingOf(extract, session, p)); };
    session.Verify(options);
}

// Verifies the extract just written and reports every problem of the CSV in row order.
int ReportWritten(const ExtractArgs& a, int form, CsvExtract& extract, Streams& io) {
    std::vector<Finding> findings;
    for (size_t row : extract.skippedRows) findings.push_back({{row, 0}, false, {}, std::nullopt, 0});
    std::string fatal;
    try {
        CheckWritten(a, extract, findings);
    } catch (const Error& e) {
        fatal = e.what();
    }
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& x, const Finding& y) {
        return std::pair(x.cell.row, x.cell.column) < std::pair(y.cell.row, y.cell.column);
    });
    const size_t rejected = static_cast<size_t>(
        std::count_if(findings.begin(), findings.end(), [](const Finding& f) { return f.rejected; }));
    const int status = fatal.empty() && rejected == 0 ? kOk : kRejected;
    if (a.json) {
        WriteJson(io.out, a, form, Written::Yes, extract.recordRows.size(), fatal, findings);
        return status;
    }
    for (const Finding& f : findings) io.err << FindingLine(a.csv, f) << "\n";
    if (!fatal.empty()) ReportMessage(io, fatal);
    if (rejected != 0)
        io.err << rejected << (rejected == 1 ? " bad value" : " bad values") << " in " << a.csv << "\n";
    io.out << FormNames[static_cast<size_t>(form)] << ": " << extract.recordRows.size()
           << (extract.recordRows.size() == 1 ? " record" : " records") << " written to " << a.output
           << (status == kOk ? ", valid" : "") << "\n";
    return status;
}

}  // namespace

int RunExtract(const Arguments& args, Streams& io) {
    const ExtractArgs a = ParseArgs(args);
    const int form = VisibleFormNamed(a.form);
    std::string csv;
    WriteOptions writeOptions;
    AsIoFailure([&] {
        ExpectWritable(a.output, a.force, a.csv);
        const Folder folder(a.csv);
        csv = ReadWholeFile(a.csv, &folder);
        // The extract holds what the CSV holds, so it is never more open.
        writeOptions.newFileMode = FileMode(folder, a.csv);
    });
    CsvExtract extract;
    try {
        extract = ExtractFromCsv(csv, form, a.csv, a.options);
        csv = std::string();  // read whole into the extract: the memory goes back before the verification
    } catch (const Error& e) {
        if (!a.json) throw;
        WriteJson(io.out, a, form, Written::No, 0, e.what(), {});
        return kRejected;
    }
    AsIoFailure([&] { Publish(a.output, extract.bytes, a.force, writeOptions); });
    try {
        return ReportWritten(a, form, extract, io);
    } catch (const std::bad_alloc&) {
        // Every problem is held until all are sorted: a CSV with millions
        // of them can exhaust memory, but only once the extract is written.
        throw Failure(
            "Not enough memory to report the problems of \"" + a.output + "\"; it was written all the same.",
            kIoFailure);
    }
}

int SaveCsvTemplate(int formIndex, const std::vector<bool>& ticks, const std::string& output, bool force,
                    Streams& io) {
    const std::string row = CsvHeaderRow(formIndex, ticks);
    if (output.empty()) {
        io.out << row.substr(0, row.size() - 2) << "\n";
        return kOk;
    }
    AsIoFailure([&] {
        ExpectWritable(output, force, "");
        Publish(output, row, force);
    });
    return kOk;
}

}  // namespace bq::cli
