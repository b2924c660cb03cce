// The normalisation and validity rule of every field type code, and the
// normalisers they are built from. Values reach the rules already trimmed.
//
// A normaliser never fails. It returns the normalised text as a view: of
// `value` itself (or a part of it) when the rule leaves the bytes as they
// are, of a constant text, or of what it wrote into `buffer`, replacing the
// buffer's earlier content, so that a reused buffer spares allocations. The
// result stays valid while `value` and `buffer` are unchanged; `value` must
// not lie in `buffer`.
#pragma once

#include <string>
#include <string_view>

#include "schema/type_codes.h"

namespace bq {

// Removes '$', '+' and ','; also '-' for code 'c'; an empty result becomes "0".
std::string_view CleanCurrency(std::string_view value, char typeCode, std::string& buffer);
// Removes '+' and ','; "" becomes "0"; an integral number in the 32-bit
// range is rewritten as its decimal text ("12.0" -> "12", "1e3" -> "1000").
std::string_view CleanWholeNumber(std::string_view value, std::string& buffer);
// Removes '$', '+' and ','; an empty result becomes "0".
std::string_view CleanFloat(std::string_view value, std::string& buffer);
// "" -> "N/A", "1" -> "EIN", "2" -> "SSN", anything else unchanged.
std::string_view NormalizeTinType(std::string_view value);
// Upper-cases; the true spellings become "X", the false ones and "NULL" empty.
std::string_view NormalizeIndicator(std::string_view value, std::string& buffer);
// An 11-character XXX-XX-XXXX loses its 4th and 7th characters.
std::string_view NormalizeSsn(std::string_view value, std::string& buffer);
// Drops the dashes of XX-XXXXXXX (tinType "EIN") and XXX-XX-XXXX (tinType
// "SSN"); an empty value gives tinType "N/A"; otherwise tinType is empty.
std::string_view NormalizeTin(std::string_view value, std::string& buffer, std::string_view& tinType);
// A 2- or 4-character year becomes four digits ("18" -> "2018", "50" ->
// "1950"); anything else, and any negative year, becomes empty.
std::string_view NormalizeYear(std::string_view value, std::string& buffer);
// MM/DD/YY, MM/DD/YYYY, MMDDYY or MMDDYYYY becomes MMDDYYYY; an invalid
// date becomes empty. Two-digit years are placed around `currentYear`.
std::string_view NormalizeDate(std::string_view value, int currentYear, std::string& buffer);

// What a rule made of a value.
enum class Verdict {
    Accepted,  // the value (normalised) goes into the field's slot
    Emptied,   // accepted, but a non-empty optional date or year became empty
    Rejected,  // the value fails its field's test; see RejectionPhrase
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

// The same rule for a value held in a string: `value` is rewritten to what
// is written and `tinType` receives the TIN type (empty for other codes).
Verdict ApplyRule(char typeCode, std::string& value, std::string& tinType, int currentYear);

}  // namespace bq
