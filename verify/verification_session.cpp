#include "verify/verification_session.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "extract/extract_format.h"
#include "extract/extract_lines.h"
#include "platform/error.h"
#include "platform/files.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
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
    explicit ProblemSink(const VerifyOptions& options) : options_(options) {}

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
            throw Error(problem.message);
    }

    const VerifyOptions& options_;
    std::optional<ValueProblem> held_;
    size_t heldRecords_ = 0;
};

}  // namespace

// What every block of one verification of the data shares.
struct VerificationSession::DataRun {
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

VerificationSession::VerificationSession() = default;

void VerificationSession::LoadFieldList(int formIndex) {
    fields_.clear();
    for (const FieldDescriptor& d : FormFields(formIndex))
        fields_.push_back({std::string(CaptionOf(d)), TypeCodeOf(d), false});
    formIndex_ = fields_.empty() ? -1 : formIndex;
    if (observer_) observer_->FieldListReloaded(formIndex_);
}

void VerificationSession::SetChecked(size_t field, bool checked) {
    if (field < fields_.size()) fields_[field].checked = checked;
}

size_t VerificationSession::CountCheckedFields() const {
    size_t n = 0;
    for (const FieldEntry& f : fields_) n += f.checked;
    return n;
}

std::vector<std::string> VerificationSession::Captions() const {
    std::vector<std::string> captions;
    for (const FieldEntry& f : fields_) captions.push_back(f.caption);
    return captions;
}

std::vector<bool> VerificationSession::Ticks() const {
    std::vector<bool> ticks;
    for (const FieldEntry& f : fields_) ticks.push_back(f.checked);
    return ticks;
}

void VerificationSession::LoadExtract() {
    auto folder = std::make_unique<Folder>(extractFile_);
    auto file = std::make_unique<InputFile>(extractFile_, folder.get());
    LoadExtractFile(std::move(file));
    folder_ = std::move(folder);
}

void VerificationSession::ReleaseExtract() {
    if (!folder_ || !file_) return;
    read_ = nullptr;
    file_.reset();
    released_ = true;
}

void VerificationSession::Reopen() {
    if (!released_) return;
    auto file = std::make_unique<InputFile>(extractFile_, folder_.get());
    auto folder = std::move(folder_);
    LoadExtractFile(std::move(file));
    folder_ = std::move(folder);
}

void VerificationSession::LoadExtractFile(std::unique_ptr<InputFile> file) {
    folder_.reset();
    text_.clear();
    headRead_ = false;
    released_ = false;
    file_ = std::move(file);
    const InputFile& input = *file_;
    read_ = [&input](std::uint64_t offset, char* out, size_t size) {
        return input.ReadAt(offset, out, size);
    };
}

void VerificationSession::LoadExtractText(std::string text) {
    file_.reset();
    released_ = false;
    folder_.reset();
    text_ = std::move(text);
    headRead_ = false;
    read_ = ReadFromText(text_);
}

const std::vector<std::string>& VerificationSession::HeadLines() {
    if (!headRead_) {
        headLines_ = read_ ? bq::HeadLines(read_, 2) : std::vector<std::string>{};
        headRead_ = true;
    }
    return headLines_;
}

std::string VerificationSession::Located(std::string_view message) const {
    return std::string(message) + "\r\n\r\nEXTRACT = " + extractFile_;
}

void VerificationSession::Verify(const VerifyOptions& options) {
    Reopen();
    CheckFormSegment();
    CheckKeySegment();
    VerifyExtractData(options);
}

void VerificationSession::Fail(std::string_view message, std::string_view code, size_t line,
                               std::string hint) const {
    throw ExtractError(Located(message), code, line, std::move(hint));
}

void VerificationSession::CheckFormSegment() {
    const std::vector<std::string>& head = HeadLines();
    const auto name = head.empty() ? std::nullopt : FormNameOfLine(head[0]);
    if (!name)
        Fail("FORM segment not found.", "form-segment-missing", 1,
             FormSegmentHint(head.empty() ? "" : head[0]));
    const int index = FindFormIndex(*name);
    if (index < 0) Fail("FORM " + *name + " not found.", "form-unknown", 1, UnknownFormHint(*name));
    formName_ = *name;
    LoadFieldList(index);
}

void VerificationSession::CheckKeySegment() {
    const std::vector<std::string>& head = HeadLines();
    KeyParts key;
    const KeyLineStatus status = head.size() < 2 ? KeyLineStatus::NotFound : SplitKeyLine(head[1], key);
    switch (status) {
        case KeyLineStatus::NotFound:
            Fail("KEY segment not found.", "key-segment-missing", 2, KeyShapeHint());
        case KeyLineStatus::TooShort:
            Fail("Bad KEY segment.", "key-bad", 2, KeyShapeHint());
        case KeyLineStatus::Ok:
            break;
    }
    const auto count = ToInt32(key.countText);
    if (!count || *count < 0 || static_cast<size_t>(*count) != key.flags.size())
        Fail("KEY segment checksum error.", "key-checksum", 2,
             KeyChecksumHint(key.countText, key.flags.size()));
    if (key.flags.size() != fields_.size())
        Fail(formName_ + " (" + std::string(kReportingYear) + ") checksum error in KEY segment.",
             "key-field-count", 2, KeyFieldCountHint(formName_, fields_.size(), key.flags.size()));
    fieldFlags_ = key.flags;
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i].checked = fieldFlags_[i] == '1';
    if (observer_) observer_->FlagsApplied();
}

ValueProblem VerificationSession::ProblemOf(const DataRun& run, size_t record, size_t f, std::string_view raw,
                                            const Remark* remark) const {
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
        problem.caption = fields_[static_cast<size_t>(problem.fieldIndex)].caption;
    }
    if (remark) {
        problem.code = remark->code;
        problem.message = remark->text;
        problem.hint = remark->hint;
        return problem;
    }
    const char typeCode = fields_[static_cast<size_t>(problem.fieldIndex)].typeCode;
    problem.code = RejectionCode(typeCode);
    problem.phrase = RejectionPhrase(typeCode);
    problem.message = "EXTRACT = " + extractFile_ + "\r\n\r\nRecord # " + std::to_string(record) +
                      ", Field # " + std::to_string(f + 1) + "\r\nDestination field \"" + problem.caption +
                      "\" maps " + std::string(problem.phrase) + "\"" + problem.rawValue + "\"";
    problem.hint = RejectionHint(typeCode, Trim(raw));
    return problem;
}

void VerificationSession::VerifyExtractData(const VerifyOptions& options) {
    if (!read_) LoadExtractText({});
    const DataArea area = FindDataArea(read_);
    switch (area.status) {
        case DataAreaStatus::NoBegin:
            Fail("{BEGIN DATA} not found.", "begin-missing", 0,
                 "the data must follow a line {BEGIN DATA}, alone on its line");
        case DataAreaStatus::NoEnd:
            Fail("{END DATA} not found.", "end-missing", 0,
                 "the data must be followed by a line {END DATA}, alone on its line");
        case DataAreaStatus::EndBeforeBegin:
            Fail("{END DATA} precedes {BEGIN DATA}.", "end-before-begin", 0,
                 "{BEGIN DATA} must come first, then the data, then {END DATA}");
        case DataAreaStatus::Found:
            break;
    }
    DataRun run;
    run.selected = SelectedFields(fieldFlags_);
    const size_t n = run.selected.size();
    if (n == 0) Fail("No fields selected?", "no-fields", 2, "the KEY flags no field with 1");
    if (area.lineCount % n != 0)
        Fail("Field allocation error.\r\n\r\nTotal fields required per record = " + std::to_string(n) +
                 "\r\n\r\nis not an integral factor of\r\n\r\nTotal fields recorded in this extract = " +
                 std::to_string(area.lineCount),
             "field-allocation", area.beginLine + 1,
             AllocationHint(n, area.lineCount, EmptyDataLines(read_, area, 5)));
    run.firstDataLine = area.beginLine + 1;
    for (const int index : run.selected) {
        const FieldEntry& field = fields_[static_cast<size_t>(index)];
        run.traits.push_back(TraitsOf(field.typeCode, field.caption));
    }

    const size_t records = area.lineCount / n;
    for (const FieldEntry& field : fields_) run.typeCodes += field.typeCode;
    run.currentYear = options.currentYear ? options.currentYear : CurrentYear();
    run.encode = static_cast<bool>(options.output);
    run.collecting = static_cast<bool>(options.onProblem);
    run.remarks = options.onProblem || options.onWarning;
    run.onValue = options.onValue;
    const size_t blockBytes = options.blockBytes ? options.blockBytes : kBlockBytes;
    size_t maxRecords;
    {
        const RecordBuilder empty(run.typeCodes, fieldFlags_, run.currentYear);
        outputRow_ = empty.Row();
        tinTypeField_ = empty.TinTypeFieldIndex();
        // Short lines can make an output many times their size: a block
        // holds no more records than make about its size of output.
        maxRecords = blockBytes / (empty.SharedSize() + 2);
        // Every record may carry a warning or two held until its block is
        // finished: blocks stay short enough that those cost little memory.
        if (run.remarks) maxRecords = std::min(maxRecords, kRemarkedRecords);
    }
    outputRowCount_ = 0;

    size_t threads = options.threads;
    if (threads == 0) threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    RecordBlocks blocks(read_, area, n, blockBytes, maxRecords, extractFile_);
    size_t reported = 0;
    ProblemSink sink(options);
    ForEachBlockInOrder(
        blocks, threads, [&](BlockJob& job) { VerifyBlock(job, run); },
        [&](BlockJob& job) {
            outputRowCount_ += job.rowsDone;
            outputRow_ = std::move(job.lastRow);
            if (options.output) options.output(job.output.View());
            sink.Take(job);
            if (options.progress &&
                (outputRowCount_ - reported >= kProgressEvery || outputRowCount_ == records)) {
                reported = outputRowCount_;
                options.progress(outputRowCount_, records);
            }
            return options.recordLimit == 0 || outputRowCount_ < options.recordLimit;
        });
    sink.Flush();
    if (options.progress && records == 0) options.progress(0, 0);
}

void VerificationSession::VerifyBlock(BlockJob& job, const DataRun& run) const {
    if (!job.record)
        job.record = std::make_unique<RecordBuilder>(run.typeCodes, fieldFlags_, run.currentYear);
    RecordBuilder& record = *job.record;
    job.output.Clear();
    job.problems.clear();
    job.emptyRuns.clear();
    job.rowsDone = 0;
    job.stopped = false;
    const size_t n = run.selected.size();
    const ExtractLines lines(job.input.Text());
    auto line = lines.begin();
    std::vector<Remark> remarks;
    // A run of empty records, as blank lines at the end make, is one
    // warning at its first; the run's length goes with it, so that runs
    // meeting at a block's edge are joined in record order.
    struct EmptyRun {
        size_t records = 0;
        size_t problem = 0;  // the run's warning in the block's problems
        void Close(BlockJob& job) {
            if (records > 0) job.emptyRuns.emplace_back(problem, records);
            records = 0;
        }
    } emptyRun;
    for (size_t i = 0; i < job.input.records; ++i) {
        const size_t r = job.firstRecord + i;
        record.StartRecord();
        bool allEmpty = true;
        for (size_t f = 0; f < n; ++f, ++line) {
            const std::string_view raw = *line;
            const std::string_view value = Trim(raw);
            const Verdict verdict = record.PutTrimmed(f, value);
            if (run.onValue)
                run.onValue(run.firstDataLine + (r - 1) * n + f, r, f, raw,
                            verdict == Verdict::Rejected ? std::string_view() : record.Written(f));
            // An empty value draws no remark of its own.
            if (run.remarks && !value.empty()) {
                allEmpty = false;
                if (verdict != Verdict::Rejected && MayRemark(run.traits[f], raw, record.Written(f))) {
                    remarks.clear();
                    FindRemarks(run.traits[f], value, record.Written(f), verdict, remarks);
                    for (const Remark& remark : remarks)
                        job.problems.push_back(ProblemOf(run, r, f, raw, &remark));
                }
            }
            if (verdict != Verdict::Rejected) continue;
            job.problems.push_back(ProblemOf(run, r, f, raw, nullptr));
            if (!run.collecting) {
                emptyRun.Close(job);
                job.stopped = true;
                job.lastRow = record.Row();
                return;
            }
        }
        if (run.remarks && n > 0) {
            if (!allEmpty) {
                emptyRun.Close(job);
            } else if (emptyRun.records++ == 0) {
                emptyRun.problem = job.problems.size();
                const Remark remark = EmptyRecordRemark(1);
                job.problems.push_back(ProblemOf(run, r, 0, {}, &remark));
            }
        }
        if (run.encode) {
            char* at = job.output.Room(record.MaxEncodedSize() + 2);
            at = record.Encode(at);
            *at++ = '\r';
            *at++ = '\n';
            job.output.Use(at);
        }
        ++job.rowsDone;
    }
    emptyRun.Close(job);
    job.lastRow = record.Row();
}

}  // namespace bq
