#include "verify/verification_session.h"

#include <algorithm>

#include "extract/extract_format.h"
#include "platform/error.h"
#include "platform/files.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "schema/text.h"
#include "schema/type_codes.h"
#include "verify/conversions.h"
#include "verify/value_rules.h"

namespace bq {
namespace {

// Progress is reported this often; often enough for a smooth bar, rare
// enough to cost nothing per record.
constexpr size_t kProgressEvery = 4096;

}  // namespace

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
    // Release the previous extract before reading, so two never coexist.
    extractLines_.Clear();
    folder_.reset();
    auto folder = std::make_unique<Folder>(extractFile_);
    extractLines_.Assign(ReadWholeFile(*folder, extractFile_, ReadUntil::FirstNul));
    folder_ = std::move(folder);
}

void VerificationSession::LoadExtractText(std::string text) {
    extractLines_.Clear();
    folder_.reset();
    extractLines_.Assign(std::move(text));
}

std::string VerificationSession::Located(std::string_view message) const {
    return std::string(message) + "\r\n\r\nEXTRACT = " + extractFile_;
}

void VerificationSession::Verify(const VerifyOptions& options) {
    CheckFormSegment();
    CheckKeySegment();
    VerifyExtractData(options);
}

void VerificationSession::CheckFormSegment() {
    const auto name = extractLines_.empty() ? std::nullopt : FormNameOfLine(*extractLines_.begin());
    if (!name) throw Error(Located("FORM segment not found."));
    const int index = FindFormIndex(*name);
    if (index < 0) throw Error(Located("FORM " + *name + " not found."));
    formName_ = *name;
    LoadFieldList(index);
}

void VerificationSession::CheckKeySegment() {
    auto line = extractLines_.begin();
    if (line != extractLines_.end()) ++line;
    KeyParts key;
    const KeyLineStatus status =
        line == extractLines_.end() ? KeyLineStatus::NotFound : SplitKeyLine(*line, key);
    switch (status) {
        case KeyLineStatus::NotFound:
            throw Error(Located("KEY segment not found."));
        case KeyLineStatus::TooShort:
            throw Error(Located("Bad KEY segment."));
        case KeyLineStatus::Ok:
            break;
    }
    const auto count = ToInt32(key.countText);
    if (!count || *count < 0 || static_cast<size_t>(*count) != key.flags.size())
        throw Error(Located("KEY segment checksum error."));
    if (key.flags.size() != fields_.size())
        throw Error(
            Located(formName_ + " (" + std::string(kReportingYear) + ") checksum error in KEY segment."));
    fieldFlags_ = key.flags;
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i].checked = fieldFlags_[i] == '1';
    if (observer_) observer_->FlagsApplied();
}

ValueProblem VerificationSession::ProblemOf(size_t record, size_t f, int index, std::string_view raw,
                                            bool rejected) const {
    const FieldEntry& field = fields_[static_cast<size_t>(index)];
    ValueProblem problem{record, f + 1, index, field.caption, std::string(raw), {}, {}};
    if (rejected) {
        problem.phrase = RejectionPhrase(field.typeCode);
        problem.message = "EXTRACT = " + extractFile_ + "\r\n\r\nRecord # " + std::to_string(record) +
                          ", Field # " + std::to_string(f + 1) + "\r\nDestination field \"" + field.caption +
                          "\" maps " + std::string(problem.phrase) + "\"" + problem.rawValue + "\"";
    }
    return problem;
}

void VerificationSession::VerifyExtractData(const VerifyOptions& options) {
    const DataArea area = FindDataArea(extractLines_);
    switch (area.status) {
        case DataAreaStatus::NoBegin:
            throw Error(Located("{BEGIN DATA} not found."));
        case DataAreaStatus::NoEnd:
            throw Error(Located("{END DATA} not found."));
        case DataAreaStatus::EndBeforeBegin:
            throw Error(Located("{END DATA} precedes {BEGIN DATA}."));
        case DataAreaStatus::Found:
            break;
    }
    const std::vector<int> selected = SelectedFields(fieldFlags_);
    const size_t n = selected.size();
    if (n == 0) throw Error(Located("No fields selected?"));
    if (area.lineCount % n != 0)
        throw Error(
            Located("Field allocation error.\r\n\r\nTotal fields required per record = " + std::to_string(n) +
                    "\r\n\r\nis not an integral factor of\r\n\r\nTotal fields recorded in this extract = " +
                    std::to_string(area.lineCount)));

    extractLines_.KeepRange(area.first, area.last);
    outputRows_.Clear();
    const size_t records = area.lineCount / n;
    std::string typeCodes;
    for (const FieldEntry& field : fields_) typeCodes += field.typeCode;
    record_ = std::make_unique<RecordBuilder>(typeCodes, fieldFlags_,
                                              options.currentYear ? options.currentYear : CurrentYear());
    RecordBuilder& record = *record_;

    auto line = extractLines_.begin();
    size_t untilProgress = kProgressEvery;
    for (size_t r = 1; r <= records; ++r) {
        record.StartRecord();
        for (size_t f = 0; f < n; ++f, ++line) {
            const Verdict verdict = record.Put(f, *line);
            if (verdict == Verdict::Accepted || (verdict == Verdict::Emptied && !options.onProblem)) continue;
            const ValueProblem problem = ProblemOf(r, f, selected[f], *line, verdict == Verdict::Rejected);
            if (!options.onProblem) throw Error(problem.message);
            options.onProblem(problem);
        }
        outputRows_.AppendRow(record);
        if (--untilProgress == 0 || r == records) {
            untilProgress = kProgressEvery;
            if (options.progress) options.progress(r, records);
        }
    }
    if (options.progress && records == 0) options.progress(0, 0);
}

}  // namespace bq
