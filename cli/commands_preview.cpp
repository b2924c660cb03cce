// bqdm preview: the first records of an extract field by field, as read and
// as written, so a writer of extracts sees which value lands where.
#include <iomanip>
#include <map>
#include <ostream>

#include "cli/commands.h"
#include "extract/extract_format.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "verify/conversions.h"
#include "verify/verification_session.h"

namespace bq::cli {
namespace {

constexpr size_t kDefaultRecords = 3;
// Table cells longer than this are cut, so that the columns stay aligned.
constexpr size_t kCell = 24;

std::string Cell(std::string_view text) {
    if (text.size() <= kCell) return std::string(text);
    return std::string(text.substr(0, kCell - 3)) + "...";
}

struct PreviewValue {
    size_t line;
    size_t f;
    std::string raw, written;
};

}  // namespace

int RunPreview(const Arguments& args, Streams& io) {
    if (args.operands.empty()) throw UsageError("which extract? give its file name");
    const std::string extract = args.operands[0];
    size_t records = kDefaultRecords;
    if (const auto given = args.Value(option::kRecords)) {
        const auto n = ToInt32(*given);
        if (!n || *n < 1) throw UsageError("--records needs a number from 1");
        records = static_cast<size_t>(*n);
    }

    VerificationSession session;
    session.SetExtractFile(AbsolutePath(extract));
    std::vector<std::vector<PreviewValue>> values(records);
    std::map<std::pair<size_t, size_t>, std::vector<std::string>> problems;  // by record and value
    VerifyOptions options;
    options.threads = 1;
    options.recordLimit = records;
    options.onValue = [&values, records](size_t line, size_t r, size_t f, std::string_view raw,
                                         std::string_view written) {
        if (r <= records) values[r - 1].push_back({line, f, std::string(raw), std::string(written)});
    };
    options.onProblem = [&problems, records](const ValueProblem& p) {
        if (p.record <= records)
            problems[{p.record, p.fieldOrdinal}].push_back(std::string(p.error ? "error" : "warning") + " [" +
                                                           std::string(p.code) + "]");
    };
    session.LoadExtract();
    session.Verify(options);
    const std::vector<int> selected = SelectedFields(session.FieldFlags());
    for (size_t r = 0; r < records && !values[r].empty(); ++r) {
        io.out << (r ? "\n" : "") << "record " << r + 1 << "\n";
        io.out << std::left << std::setw(7) << "  line" << std::setw(7) << "field" << std::setw(kCell + 2)
               << "caption" << std::setw(kCell + 2) << "read" << std::setw(kCell + 2) << "written"
               << "problem\n";
        for (const PreviewValue& v : values[r]) {
            const size_t field = static_cast<size_t>(selected[v.f]);
            io.out << std::right << std::setw(6) << v.line << " " << std::setw(5) << field << "  "
                   << std::left << std::setw(kCell + 2) << Cell(session.Selection().Fields()[field].caption)
                   << std::setw(kCell + 2) << Cell("\"" + v.raw + "\"") << std::setw(kCell + 2)
                   << Cell("\"" + v.written + "\"");
            const auto found = problems.find({r + 1, v.f + 1});
            if (found != problems.end())
                for (size_t i = 0; i < found->second.size(); ++i)
                    io.out << (i ? ", " : "") << found->second[i];
            io.out << "\n";
        }
        if (const auto whole = problems.find({r + 1, 0}); whole != problems.end())
            io.out << "  " << whole->second.front() << ": every value of the record is empty\n";
    }
    return kOk;
}

}  // namespace bq::cli
