// What the value rules do quietly that a writer of extracts should hear of:
// values changed or dropped on their way to the output, and the likely
// cause of a rejected value. The rules themselves never change; these
// remarks only explain them, for the headless tool.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "verify/value_rules.h"

namespace bq {

// What a remark needs to know of a field, looked up once per run.
struct FieldTraits {
    char typeCode;
    bool zipCode;     // a free-text field that holds a ZIP code
    bool remarkable;  // a value of the field can draw a remark
};

// False when no remark can apply to the extract line `raw` of such a field,
// written as `written`: most values, found cheaply.
inline bool MayRemark(const FieldTraits& field, std::string_view raw, std::string_view written) {
    if (!field.remarkable) return false;
    // An amount written as a view of its own line is a plain one: nothing to tell.
    const bool amount = field.typeCode == 'C' || field.typeCode == 'c';
    return !(amount && written.data() >= raw.data() && written.data() < raw.data() + raw.size());
}

// The traits of a field of `typeCode` captioned `caption`.
FieldTraits TraitsOf(char typeCode, std::string_view caption);

// One warning about an accepted value.
struct Remark {
    std::string_view code;  // stable: "date-serial", "sign-dropped", ...
    std::string text;       // what happened, in a few words
    std::string hint;       // the likely fix, in one line; may be empty
};

// Appends to `out` the warnings about the trimmed value `value` of a field
// of `field` that its rule accepted (or emptied) as `written`.
void FindRemarks(const FieldTraits& field, std::string_view value, std::string_view written, Verdict verdict,
                 std::vector<Remark>& out);

// The likely fix for the trimmed `value` that the rule of `typeCode` rejected.
std::string RejectionHint(char typeCode, std::string_view value);

// The warning about a run of `records` records whose every value is empty.
Remark EmptyRecordRemark(size_t records);

}  // namespace bq
