// The shape of the output rows of one verification run. Fields that no value
// of the extract lands in hold their type code's default in every record, so
// the text between the slots that can change is encoded once per run and a
// record costs only its own values.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bq {

// The most bytes `value` can take once encoded: quoted, every byte a doubled quote.
constexpr size_t MaxEncodedSize(std::string_view value) { return 2 * value.size() + 2; }

// Writes `value` at `out` as one value of an output line: quoted, with its
// quotes doubled, when it holds a byte 0x00-0x20, '"' or ','. Returns the end.
char* EncodeValue(std::string_view value, char* out);

class RowLayout {
public:
    // `typeCodes`: one per field of the form, in field order; `flags`: the
    // KEY flags, '1' for a supplied field. The slots are the supplied fields
    // and the form's TIN-type field (the last 'T'), in field order.
    RowLayout(std::string_view typeCodes, std::string_view flags);

    size_t SlotCount() const { return slotFields_.size(); }
    // The field index of each slot, ascending.
    const std::vector<int>& SlotFields() const { return slotFields_; }
    // The slot of the f-th supplied field.
    size_t SlotOfSupplied(size_t f) const { return suppliedSlots_[f]; }
    // The slot of the TIN-type field; -1 when the form has none.
    int TinTypeSlot() const { return tinTypeSlot_; }
    // What every slot holds as a record starts: its field's default.
    const std::vector<std::string_view>& SlotDefaults() const { return slotDefaults_; }

    // The room Encode needs for the row of `slots` (one value per slot); a
    // little more than the row can take, as short texts are copied in words.
    size_t MaxEncodedSize(std::span<const std::string_view> slots) const;
    // Writes the row of `slots` at `out` as one output line without its line
    // break; returns the end.
    char* Encode(std::span<const std::string_view> slots, char* out) const;

private:
    // The encoded text before each slot's value, and after the last one: a
    // part of fixedBytes_ each, followed there by at least kLongWord spare bytes.
    struct Part {
        size_t offset;
        size_t size;
    };
    static constexpr size_t kWord = 16, kLongWord = 64;
    void AddFixedText(std::string_view text);
    char* PutFixed(Part part, char* out) const;

    std::vector<std::string_view> fieldDefaults_;
    std::vector<int> slotFields_;
    std::vector<size_t> suppliedSlots_;
    std::vector<std::string_view> slotDefaults_;
    int tinTypeSlot_ = -1;
    std::vector<Part> fixedText_;
    std::string fixedBytes_;
    size_t fixedSize_ = 0;
};

}  // namespace bq
