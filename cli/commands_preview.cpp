// bqdm preview: the first records of an extract field by field, as read and
// as written, so a writer of extracts sees which value lands where.
#include <iomanip>
#include <map>
#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "extract/extract_format.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "schema/text.h"
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

// The record being shown: its values as they come, its problems once its
// block is done. One record is held at a time, whatever --records says.
class RecordTable {
  public:
    RecordTable(const VerificationSession& session, std::ostream& out) : session_(session), out_(out) {}

    void Value(size_t line, size_t record, size_t f, std::string_view raw, std::string_view written) {
        if (record != record_) {
            Print();
            record_ = record;
        }
        values_.push_back({line, f, std::string(raw), std::string(written)});
    }
    void Problem(const ValueProblem& p) {
        if (p.record == record_ && p.fieldOrdinal)
            problems_[p.fieldOrdinal].push_back(std::string(p.error ? "error" : "warning") + " [" +
                                                std::string(p.code) + "]");
    }
    // Prints the record held, if any.
    void Print() {
        if (values_.empty()) return;
        const std::vector<int> selected = SelectedFields(session_.FieldFlags());
        out_ << (printed_ ? "\n" : "") << "record " << record_ << "\n";
        out_ << std::left << std::setw(7) << "  line" << std::setw(7) << "field" << std::setw(kCell + 2)
             << "caption" << std::setw(kCell + 2) << "read" << std::setw(kCell + 2) << "written"
             << "problem\n";
        bool empty = true;
        for (const PreviewValue& v : values_) {
            const size_t field = static_cast<size_t>(selected[v.f]);
            std::ostringstream line;
            line << std::right << std::setw(6) << v.line << " " << std::setw(5) << field << "  " << std::left
                 << std::setw(kCell + 2) << Cell(session_.Selection().Fields()[field].caption)
                 << std::setw(kCell + 2) << Cell("\"" + v.raw + "\"") << std::setw(kCell + 2)
                 << Cell("\"" + v.written + "\"");
            const auto found = problems_.find(v.f + 1);
            if (found != problems_.end())
                for (size_t i = 0; i < found->second.size(); ++i) line << (i ? ", " : "") << found->second[i];
            // The columns' padding stops where the line's text does.
            std::string text = line.str();
            text.erase(text.find_last_not_of(' ') + 1);
            out_ << text << "\n";
            empty = empty && Trim(v.raw).empty();
        }
        // A run of empty records is told at its first, as check tells it.
        if (empty && !previousEmpty_)
            out_ << "  warning [empty-record]: every value of the record is empty\n";
        previousEmpty_ = empty;
        printed_ = true;
        values_.clear();
        problems_.clear();
    }

  private:
    const VerificationSession& session_;
    std::ostream& out_;
    size_t record_ = 0;
    std::vector<PreviewValue> values_;
    std::map<size_t, std::vector<std::string>> problems_;  // by value ordinal
    bool previousEmpty_ = false;
    bool printed_ = false;
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
    RecordTable table(session, io.out);
    VerifyOptions options;
    options.threads = 1;
    // A record a block, so that each record's problems come before the next record's values.
    options.blockBytes = 1;
    options.recordLimit = records;
    options.onValue = [&table, records](size_t line, size_t r, size_t f, std::string_view raw,
                                        std::string_view written) {
        if (r <= records) table.Value(line, r, f, raw, written);
    };
    options.onProblem = [&table](const ValueProblem& p) { table.Problem(p); };
    session.LoadExtract();
    session.Verify(options);
    table.Print();
    return kOk;
}

}  // namespace bq::cli
