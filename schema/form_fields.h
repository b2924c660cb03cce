// Every form's ordered list of destination fields. A field's index is its
// position in the list: it orders the KEY flags, the template captions and
// the columns of the merge output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bq {

// One destination field: the type code character followed by the caption.
using FieldDescriptor = std::string;

// Appends the descriptors of form `formIndex` to `list` in field-index order.
// Indexes outside the catalogue (37 to 127, or any other) append nothing.
void GetFormFields(int formIndex, std::vector<FieldDescriptor>& list);

// The type code of a descriptor (its first character).
constexpr char TypeCodeOf(std::string_view descriptor) { return descriptor.empty() ? '\0' : descriptor[0]; }

// The caption of a descriptor (all but its first character).
constexpr std::string_view CaptionOf(std::string_view descriptor) {
    return descriptor.empty() ? descriptor : descriptor.substr(1);
}

}  // namespace bq
