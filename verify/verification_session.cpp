#include "verify/verification_session.h"

#include "extract/extract_format.h"
#include "schema/form_catalogue.h"
#include "schema/text.h"
#include "verify/conversions.h"
#include "verify/layout_hints.h"

namespace bq {

void VerificationSession::Verify(const VerifyOptions& options) {
    source_.Reopen();
    CheckFormSegment();
    CheckKeySegment();
    VerifyExtractData(options);
}

void VerificationSession::Fail(std::string text, std::string_view code, size_t line, std::string hint) const {
    throw ExtractError(std::move(text), source_.Path(), code, line, std::move(hint));
}

void VerificationSession::CheckFormSegment() {
    const std::vector<std::string>& head = source_.HeadLines();
    const auto name = head.empty() ? std::nullopt : FormNameOfLine(head[0]);
    if (!name)
        Fail("FORM segment not found.", "form-segment-missing", 1,
             FormSegmentHint(head.empty() ? "" : head[0]));
    const int index = FindFormIndex(*name);
    if (index < 0) Fail("FORM " + *name + " not found.", "form-unknown", 1, UnknownFormHint(*name));
    formName_ = *name;
    selection_.Load(index);
}

void VerificationSession::CheckKeySegment() {
    const std::vector<std::string>& head = source_.HeadLines();
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
    const size_t fields = selection_.Fields().size();
    if (key.flags.size() != fields)
        Fail(formName_ + " (" + std::string(kReportingYear) + ") checksum error in KEY segment.",
             "key-field-count", 2, KeyFieldCountHint(formName_, fields, key.flags.size()));
    fieldFlags_ = key.flags;
    selection_.ApplyFlags(fieldFlags_);
}

void VerificationSession::VerifyExtractData(const VerifyOptions& options) {
    VerifyData(source_, selection_.Fields(), fieldFlags_, options, outputRowCount_);
}

}  // namespace bq
