// The record being built during a verification run, and its encoding as
// one line of the merge output. Only the supplied fields and the form's
// TIN-type field can change from record to record (the slots); every other
// field holds its type code's default, so the text between the slots is
// encoded once per run and a record costs only its own values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "schema/text.h"
#include "verify/value_rules.h"

namespace bq {

class RecordBuilder {
  public:
    // `typeCodes`: one per field of the form, in field order; `flags`: the
    // KEY flags, '1' for a supplied field. Two-digit years and month/day
    // dates are placed around `currentYear`.
    RecordBuilder(std::string_view typeCodes, std::string_view flags, int currentYear);
    // Slots may view the builder's own buffers, so it stays where it was made.
    RecordBuilder(const RecordBuilder&) = delete;
    RecordBuilder& operator=(const RecordBuilder&) = delete;

    // The number of supplied fields: the values a record has.
    size_t SuppliedCount() const { return supplied_.size(); }
    // The field index of the f-th supplied field (0-based).
    int SuppliedField(size_t f) const { return slotFields_[supplied_[f].slot]; }
    // The field index of the form's TIN-type field (its last 'T'), or -1.
    int TinTypeFieldIndex() const {
        return tinTypeSlot_ < 0 ? -1 : slotFields_[static_cast<size_t>(tinTypeSlot_)];
    }

    // Starts a record: every field holds its default again.
    void StartRecord();
    // Puts `raw`, the extract line of the f-th supplied field, through its
    // field's rule: trimmed, normalised and, unless rejected, stored in its
    // slot; a taxpayer id also stores its TIN type in the TIN-type field.
    // `raw` must outlive the record.
    Verdict Put(size_t f, std::string_view raw) { return PutTrimmed(f, Trim(raw)); }
    // Put for a line already trimmed.
    Verdict PutTrimmed(size_t f, std::string_view value) {
        const Supplied& field = supplied_[f];
        if (field.copies) {
            slots_[field.slot] = value;
            return Verdict::Accepted;
        }
        // Empty is the commonest value, and what a rule makes of it depends on the code alone.
        if (value.empty()) return Store(field, field.empty);
        return PutByRule(field, value);
    }
    // What the f-th supplied field holds now: its value as written, or its default.
    std::string_view Written(size_t f) const { return slots_[supplied_[f].slot]; }

    // The bytes of a line that every record shares: its commas and the
    // defaults of the fields no record supplies.
    size_t SharedSize() const { return fixedSize_; }
    // The room Encode needs for the current record; a little more than it
    // takes, as short texts are copied in words.
    size_t MaxEncodedSize() const;
    // Writes the current record at `out` as one output line without its line
    // break; returns the end.
    char* Encode(char* out) const;
    // The current record, one value per field of the form.
    std::vector<std::string> Row() const;

  private:
    // The encoded text before each slot's value, and after the last one: a
    // part of fixedBytes_ each, followed there by at least kLongWord spare bytes.
    struct Part {
        size_t offset;
        size_t size;
    };
    // What a rule made of a value.
    struct Outcome {
        Verdict verdict;
        std::string_view written;
        std::string_view tinType;  // set by a taxpayer id
    };
    // What Put needs of a supplied field, looked up once.
    struct Supplied {
        char code;
        bool copies;  // the rule writes the value as it is
        size_t slot;
        Outcome empty;  // what its rule makes of an empty value, worked out once
    };
    static constexpr size_t kWord = 16, kLongWord = 64;
    Verdict PutByRule(const Supplied& field, std::string_view value);
    // Stores `outcome` in the field's slot: the text written, or the default
    // when rejected; an accepted taxpayer id's TIN type goes to its field.
    Verdict Store(const Supplied& field, const Outcome& outcome) {
        const bool rejected = outcome.verdict == Verdict::Rejected;
        slots_[field.slot] = rejected ? slotDefaults_[field.slot] : outcome.written;
        if (!rejected && !outcome.tinType.empty() && tinTypeSlot_ != -1)
            slots_[static_cast<size_t>(tinTypeSlot_)] = outcome.tinType;
        return outcome.verdict;
    }
    void AddFixedText(std::string_view text);
    char* PutFixed(Part part, char* out) const;

    int currentYear_;
    std::vector<std::string_view> fieldDefaults_;
    std::vector<int> slotFields_;
    std::vector<std::string_view> slotDefaults_;
    std::vector<Supplied> supplied_;
    int tinTypeSlot_ = -1;
    std::vector<Part> fixedText_;
    std::string fixedBytes_;
    size_t fixedSize_ = 0;
    // The record: a view per slot into the extract, a constant or the slot's
    // own buffer, so that a value is copied once, into the output.
    std::vector<std::string_view> slots_;
    std::vector<std::string> buffers_;
    std::vector<std::string> emptyTexts_;  // the buffers of the empty outcomes
};

}  // namespace bq
