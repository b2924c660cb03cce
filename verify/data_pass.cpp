#include "verify/data_pass.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "extract/extract_lines.h"
#include "schema/text.h"
#include "schema/type_codes.h"
#include "verify/block_workers.h"
#include "verify/conversions.h"
#include "verify/layout_hints.h"
#include "verify/record_builder.h"
#include "verify/value_remarks.h"
#include "verify/value_rules.h"

namespace bq {
namespace {

// Progress is reported this often; often enough for a smooth bar, rare
// enough to cost nothing per record.
constexpr size_t kProgressEvery = 4096;

// Records are verified in pieces of about this many bytes: large enough
// that handing a piece to a thread costs nothing, small enough that the
// pieces in flight stay a few megabytes.
constexpr size_t kBlockBytes = size_t{1} << 20;

// More threads than this would only add memory: reading and writing the
// files caps the speed first.
constexpr size_t kMostThreads = 4;

// The records of a block when warnings are collected.
constexpr size_t kRemarkedRecords = 4096;

// Hands the problems of the blocks, in record order, to the caller's
// callbacks, or throws the first bad value's message when none takes it.
// A run of empty records is one warning however many blocks it spans: it
// is held until the run ends, its hint then counting every record of it.
class ProblemSink {
  public:
    ProblemSink(const VerifyOptions& options, std::string_view extract)
        : options_(options), extract_(extract) {}

    void Take(BlockJob& job) {
        auto run = job.emptyRuns.begin();
        for (size_t i = 0; i < job.problems.size(); ++i) {
            ValueProblem& problem = job.problems[i];
            if (run == job.emptyRuns.end() || run->first != i) {
                Flush();
                Deliver(problem);
                continue;
            }
            const size_t records = (run++)->second;
            if (held_ && held_->record + heldRecords_ == problem.record) {
                heldRecords_ += records;
                continue;
            }
            Flush();
            held_ = std::move(problem);
            heldRecords_ = records;
        }
    }

    // Delivers the run of empty records held, if any.
    void Flush() {
        if (!held_) return;
        if (heldRecords_ > 1) held_->hint = EmptyRecordRemark(heldRecords_).hint;
        const ValueProblem problem = std::move(*held_);
        held_.reset();
        Deliver(problem);
    }

  private:
    void Deliver(const ValueProblem& problem) const {
        if (options_.onProblem)
            options_.onProblem(problem);
        else if (!problem.error)
            options_.onWarning(problem);
        else
            throw Error(RejectionMessage(extract_, problem));
    }

    const VerifyOptions& options_;
    std::string_view extract_;
    std::optional<ValueProblem> held_;
    size_t heldRecords_ = 0;
};

[[noreturn]] void Fail(std::string_view extract, std::string text, std::string_view code, size_t line,
                       std::string hint) {
    throw ExtractError(std::move(text), extract, code, line, std::move(hint));
}

// What every block of one pass shares.
struct DataRun {
    const std::vector<FieldEntry>* fields;
    std::string_view flags;
    std::string typeCodes;
    int currentYear;
    std::vector<int> selected;        // the field index of each value of a record
    std::vector<FieldTraits> traits;  // of each value of a record
    size_t firstDataLine;             // the line of the first value
    bool encode;                      // the rows are wanted
    bool collecting;                  // every problem is reported, none ends the run
    bool remarks;                     // warnings are wanted
    std::function<void(size_t, size_t, size_t, std::string_view, std::string_view)> onValue;
};

// The report of the f-th value (0-based) of `record`, the raw line `raw`:
// its rejection when `remark` is null, or else the warning.
ValueProblem ProblemOf(const DataRun& run, size_t record, size_t f, std::string_view raw,
                       const Remark* remark) {
    const size_t n = run.selected.size();
    ValueProblem problem{remark == nullptr,
                         run.firstDataLine + (record - 1) * n + f,
                         record,
                         f + 1,
                         -1,
                         {},
                         std::string(raw),
                         {},
                         {},
                         {},
                         {}};
    if (remark && remark->code == "empty-record") {
        problem.fieldOrdinal = 0;
    } else {
        problem.fieldIndex = run.selected[f];
        problem.caption = (*run.fields)[static_cast<size_t>(problem.fieldIndex)].caption;
    }
    if (remark) {
        problem.code = remark->code;
        problem.remark = remark->text;
        problem.hint = remark->hint;
        return problem;
    }
    const char typeCode = (*run.fields)[static_cast<size_t>(problem.fieldIndex)].typeCode;
    problem.code = RejectionCode(typeCode);
    problem.rejected = RejectedAs(typeCode);
    problem.hint = RejectionHint(typeCode, Trim(raw));
    return problem;
}

// Verifies the records of one block, on any thread.
class BlockVerifier {
  public:
    BlockVerifier(BlockJob& job, const DataRun& run) : job_(job), run_(run) {
        if (!job.record)
            job.record = std::make_unique<RecordBuilder>(run.typeCodes, run.flags, run.currentYear);
        job.output.Clear();
        job.problems.clear();
        job.emptyRuns.clear();
        job.rowsDone = 0;
        job.stopped = false;
    }

    void Run() {
        RecordBuilder& record = *job_.record;
        const size_t n = run_.selected.size();
        const ExtractLines lines(job_.input.Text());
        auto line = lines.begin();
        for (size_t i = 0; i < job_.input.records; ++i) {
            const size_t r = job_.firstRecord + i;
            record.StartRecord();
            bool allEmpty = true;
            for (size_t f = 0; f < n; ++f, ++line) {
                const std::string_view raw = *line;
                const std::string_view value = Trim(raw);
                allEmpty &= value.empty();
                if (Put(r, f, raw, value)) continue;
                job_.problems.push_back(ProblemOf(run_, r, f, raw, nullptr));
                if (!run_.collecting) {
                    CloseEmptyRun();
                    job_.stopped = true;
                    return;
                }
            }
            if (run_.remarks && n > 0) NoteRecord(r, allEmpty);
            if (run_.encode) EncodeRow();
            ++job_.rowsDone;
        }
        CloseEmptyRun();
    }

  private:
    // Puts the f-th value of record r and notes its warnings; false when it is rejected.
    bool Put(size_t r, size_t f, std::string_view raw, std::string_view value) {
        RecordBuilder& record = *job_.record;
        const Verdict verdict = record.PutTrimmed(f, value);
        const bool rejected = verdict == Verdict::Rejected;
        if (run_.onValue)
            run_.onValue(run_.firstDataLine + (r - 1) * run_.selected.size() + f, r, f, raw,
                         rejected ? std::string_view() : record.Written(f));
        // An empty value draws no remark of its own.
        if (run_.remarks && !value.empty() && !rejected &&
            MayRemark(run_.traits[f], raw, record.Written(f))) {
            remarks_.clear();
            FindRemarks(run_.traits[f], value, record.Written(f), verdict, remarks_);
            for (const Remark& remark : remarks_)
                job_.problems.push_back(ProblemOf(run_, r, f, raw, &remark));
        }
        return !rejected;
    }

    // A run of empty records, as blank lines at the end make, is one
    // warning at its first; the run's length goes with it, so that runs
    // meeting at a block's edge are joined in record order.
    void NoteRecord(size_t r, bool empty) {
        if (!empty) {
            CloseEmptyRun();
        } else if (emptyRecords_++ == 0) {
            emptyRunProblem_ = job_.problems.size();
            const Remark remark = EmptyRecordRemark(1);
            job_.problems.push_back(ProblemOf(run_, r, 0, {}, &remark));
        }
    }

    void CloseEmptyRun() {
        if (emptyRecords_ > 0) job_.emptyRuns.emplace_back(emptyRunProblem_, emptyRecords_);
        emptyRecords_ = 0;
    }

    void EncodeRow() {
        RecordBuilder& record = *job_.record;
        char* at = job_.output.Room(record.MaxEncodedSize() + 2);
        at = record.Encode(at);
        *at++ = '\r';
        *at++ = '\n';
        job_.output.Use(at);
    }

    BlockJob& job_;
    const DataRun& run_;
    std::vector<Remark> remarks_;
    size_t emptyRecords_ = 0;
    size_t emptyRunProblem_ = 0;  // the run's warning in the block's problems
};

}  // namespace

void VerifyData(ExtractSource& source, const std::vector<FieldEntry>& fields, std::string_view flags,
                const VerifyOptions& options, size_t& rows) {
    const ReadBytesAt& read = source.Reader();
    const DataArea area = FindDataArea(read);
    switch (area.status) {
        case DataAreaStatus::NoBegin:
            Fail(source.Path(), "{BEGIN DATA} not found.", "begin-missing", 0,
                 "the data must follow a line {BEGIN DATA}, alone on its line");
        case DataAreaStatus::NoEnd:
            Fail(source.Path(), "{END DATA} not found.", "end-missing", 0,
                 "the data must be followed by a line {END DATA}, alone on its line");
        case DataAreaStatus::EndBeforeBegin:
            Fail(source.Path(), "{END DATA} precedes {BEGIN DATA}.", "end-before-begin", 0,
                 "{BEGIN DATA} must come first, then the data, then {END DATA}");
        case DataAreaStatus::Found:
            break;
    }
    DataRun run;
    run.fields = &fields;
    run.flags = flags;
    run.selected = SelectedFields(flags);
    const size_t n = run.selected.size();
    if (n == 0) Fail(source.Path(), "No fields selected?", "no-fields", 2, "the KEY flags no field with 1");
    if (area.lineCount % n != 0)
        Fail(source.Path(),
             "Field allocation error.\r\n\r\nTotal fields required per record = " + std::to_string(n) +
                 "\r\n\r\nis not an integral factor of\r\n\r\nTotal fields recorded in this extract = " +
                 std::to_string(area.lineCount),
             "field-allocation", area.beginLine + 1,
             AllocationHint(n, area.lineCount, EmptyDataLines(read, area, 5)));
    run.firstDataLine = area.beginLine + 1;
    for (const int index : run.selected) {
        const FieldEntry& field = fields[static_cast<size_t>(index)];
        run.traits.push_back(TraitsOf(field.typeCode, field.caption));
    }

    const size_t records = area.lineCount / n;
    for (const FieldEntry& field : fields) run.typeCodes += field.typeCode;
    run.currentYear = options.currentYear ? options.currentYear : CurrentYear();
    run.encode = static_cast<bool>(options.output);
    run.collecting = static_cast<bool>(options.onProblem);
    run.remarks = options.onProblem || options.onWarning;
    run.onValue = options.onValue;
    const size_t blockBytes = options.blockBytes ? options.blockBytes : kBlockBytes;
    size_t maxRecords;
    {
        const RecordBuilder empty(run.typeCodes, flags, run.currentYear);
        // Short lines can make an output many times their size: a block
        // holds no more records than make about its size of output.
        maxRecords = blockBytes / (empty.SharedSize() + 2);
        // Every record may carry a warning or two held until its block is
        // finished: blocks stay short enough that those cost little memory.
        if (run.remarks) maxRecords = std::min(maxRecords, kRemarkedRecords);
    }
    rows = 0;

    size_t threads = options.threads;
    if (threads == 0) threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    RecordBlocks blocks(read, area, n, blockBytes, maxRecords, source.Path());
    size_t reported = 0;
    ProblemSink sink(options, source.Path());
    ForEachBlockInOrder(
        blocks, threads, [&](BlockJob& job) { BlockVerifier(job, run).Run(); },
        [&](BlockJob& job) {
            rows += job.rowsDone;
            if (options.output) options.output(job.output.View());
            sink.Take(job);
            if (options.progress && (rows - reported >= kProgressEvery || rows == records)) {
                reported = rows;
                options.progress(rows, records);
            }
            return options.recordLimit == 0 || rows < options.recordLimit;
        });
    sink.Flush();
    if (options.progress && records == 0) options.progress(0, 0);
}

}  // namespace bq
