// The destination fields of the current form with one tick each: what the
// main window's field list shows, what the KEY line selects and what the
// template lists.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bq {

// One row of the field list: a destination field of the current form.
struct FieldEntry {
    std::string caption;
    char typeCode;
    bool checked = false;
};

class FieldSelection {
  public:
    // Rebuilds the list for `formIndex` with no field ticked; -1 (or any
    // index without fields) gives an empty list.
    void Load(int formIndex);
    // Ticks the fields whose flag in `flags` (one per field) is '1'.
    void ApplyFlags(std::string_view flags);
    void SetChecked(size_t field, bool checked);

    // The form loaded, or -1.
    int FormIndex() const { return formIndex_; }
    const std::vector<FieldEntry>& Fields() const { return fields_; }
    size_t CountChecked() const;
    // The captions and ticks in list order, as the template needs them.
    std::vector<std::string> Captions() const;
    std::vector<bool> Ticks() const;
    // The type codes of the form's fields in order, one character each.
    std::string TypeCodes() const;
    // Counts every Load and ApplyFlags, so that a view can tell whether
    // the list changed while it was not looking.
    size_t Revision() const { return revision_; }

  private:
    int formIndex_ = -1;
    std::vector<FieldEntry> fields_;
    size_t revision_ = 0;
};

}  // namespace bq
