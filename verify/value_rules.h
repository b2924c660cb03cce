// The normalisation and validity rule of every field type code. Values
// reach the rules already trimmed.
#pragma once

#include <string>
#include <string_view>

#include "schema/type_codes.h"

namespace bq {

// What a rule made of a value.
enum class Verdict {
    Accepted,  // the value (normalised) goes into the field's slot
    Emptied,   // accepted, but a non-empty optional date or year became empty
    Rejected,  // the value fails its field's test; see RejectedAs
};

// Applies the rule of `typeCode` to the trimmed `value`. `written` receives
// what is written (a view as for the normalisers; for a rejected value, what
// normalisation made of it) and `tinType`, for code 'N', the derived TIN type
// ("EIN", "SSN", "N/A" or empty), a constant. Out-parameters rather than a
// returned struct, so the caller can let the rule write straight into a
// row's slot. Codes without a rule ('E', 'e', 'k', '9', 'v') copy the value
// unchanged, like free text.
Verdict ApplyRule(char typeCode, std::string_view value, std::string& buffer, std::string_view& written,
                  std::string_view& tinType, int currentYear);

// True for the codes whose values are written as they are and never
// rejected: free text, the coverage codes and the codes without a rule of
// their own. A caller may skip ApplyRule for them.
constexpr bool CopiesValue(char typeCode) { return RuleOf(typeCode) != Rule::Normalises; }

}  // namespace bq
