#include "verify/verification_session.h"

#include <algorithm>

#include "platform/error.h"
#include "extract/extract_format.h"
#include "platform/files.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "schema/text.h"
#include "schema/type_codes.h"
#include "verify/conversions.h"
#include "verify/row_layout.h"
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
    extractLines_.Assign(ReadWholeFile(extractFile_));
}

void VerificationSession::LoadExtractText(std::string text) {
    extractLines_.Clear();
    extractLines_.Assign(std::move(text));
}

std::string VerificationSession::Located(std::string_view message) const {
    return std::string(message) + "\r\n\r\nEXTRACT = " + extractFile_;
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
        throw Error(Located(formName_ + " (" + std::string(kReportingYear) + ") checksum error in KEY segment."));
    fieldFlags_ = key.flags;
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i].checked = fieldFlags_[i] == '1';
    if (observer_) observer_->FlagsApplied();
}

void VerificationSession::ResetOutputRow() {
    // The slots are assigned rather than rebuilt: once per record, their
    // buffers are reused instead of reallocated.
    const size_t count = std::min(fieldFlags_.size(), fields_.size());
    outputRow_.resize(count);
    tinTypeFieldIndex_ = -1;
    for (size_t i = 0; i < count; ++i) {
        const char code = fields_[i].typeCode;
        outputRow_[i].assign(OutputDefault(code));
        if (code == 'T') tinTypeFieldIndex_ = static_cast<int>(i);
    }
}

ValueProblem VerificationSession::ProblemOf(size_t record, size_t f, int index, std::string_view raw,
                                            bool rejected) const {
    const FieldEntry& field = fields_[static_cast<size_t>(index)];
    ValueProblem problem{record, f + 1, index, field.caption, std::string(raw), {}, {}};
    if (rejected) {
        problem.phrase = RejectionPhrase(field.typeCode);
        problem.message = "EXTRACT = " + extractFile_ + "\r\n\r\nRecord # " + std::to_string(record) + ", Field # " +
                          std::to_string(f + 1) + "\r\nDestination field \"" + field.caption + "\" maps " +
                          std::string(problem.phrase) + "\"" + problem.rawValue + "\"";
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
        throw Error(Located("Field allocation error.\r\n\r\nTotal fields required per record = " + std::to_string(n) +
                            "\r\n\r\nis not an integral factor of\r\n\r\nTotal fields recorded in this extract = " +
                            std::to_string(area.lineCount)));

    extractLines_.KeepRange(area.first, area.last);
    outputRows_.Clear();
    const size_t records = area.lineCount / n;
    const int year = options.currentYear ? options.currentYear : CurrentYear();

    ResetOutputRow();
    std::string typeCodes;
    for (size_t i = 0; i < outputRow_.size(); ++i) typeCodes += fields_[i].typeCode;
    const RowLayout layout(typeCodes, fieldFlags_);
    // The record being built: a view per slot into the extract, a constant
    // or the slot's own buffer, so a value is copied once, into the output.
    // A record writes every supplied slot, so only the TIN-type slot and the
    // slots of rejected values need their defaults back.
    const std::vector<std::string_view>& defaults = layout.SlotDefaults();
    std::vector<std::string_view> row = defaults;
    std::vector<std::string> buffers(layout.SlotCount());
    const int tinTypeSlot = layout.TinTypeSlot();
    // What the loop needs of each supplied field, looked up once.
    struct Supplied {
        char code;
        bool copies;  // the rule writes the value as it is
        size_t slot;
    };
    std::vector<Supplied> supplied;
    for (size_t f = 0; f < n; ++f) {
        const char code = fields_[static_cast<size_t>(selected[f])].typeCode;
        supplied.push_back({code, CopiesValue(code), layout.SlotOfSupplied(f)});
    }
    // Plain pointers, which the compiler can keep in registers across the rule calls.
    std::string_view* const slots = row.data();
    const Supplied* const fields = supplied.data();

    // OutputRow shows the record last worked on, as far as it got: the
    // slots of fields not reached yet still hold the record before, except
    // the TIN-type slot, which every record starts afresh.
    const auto keepRow = [&](size_t doneFields) {
        for (size_t f = doneFields; f < n; ++f)
            if (static_cast<int>(fields[f].slot) != tinTypeSlot) slots[fields[f].slot] = defaults[fields[f].slot];
        for (size_t j = 0; j < row.size(); ++j)
            outputRow_[static_cast<size_t>(layout.SlotFields()[j])].assign(slots[j]);
    };

    auto line = extractLines_.begin();
    size_t untilProgress = kProgressEvery;
    for (size_t r = 1; r <= records; ++r) {
        if (tinTypeSlot != -1) slots[tinTypeSlot] = defaults[static_cast<size_t>(tinTypeSlot)];
        for (size_t f = 0; f < n; ++f, ++line) {
            const Supplied& field = fields[f];
            const std::string_view raw = *line;
            if (field.copies) {
                slots[field.slot] = Trim(raw);
                continue;
            }
            std::string_view tinType;
            const Verdict verdict =
                ApplyRule(field.code, Trim(raw), buffers[field.slot], slots[field.slot], tinType, year);
            if (verdict == Verdict::Rejected || (verdict == Verdict::Emptied && options.onProblem)) {
                const ValueProblem problem = ProblemOf(r, f, selected[f], raw, verdict == Verdict::Rejected);
                if (!options.onProblem) {
                    keepRow(f);
                    throw Error(problem.message);
                }
                options.onProblem(problem);
                if (verdict == Verdict::Rejected) {
                    slots[field.slot] = defaults[field.slot];
                    continue;
                }
            }
            if (!tinType.empty() && tinTypeSlot != -1) slots[tinTypeSlot] = tinType;
        }
        outputRows_.AppendRow(layout, row);
        if (--untilProgress == 0 || r == records) {
            untilProgress = kProgressEvery;
            if (options.progress) options.progress(r, records);
        }
    }
    keepRow(n);
    if (options.progress && records == 0) options.progress(0, 0);
}

}  // namespace bq
