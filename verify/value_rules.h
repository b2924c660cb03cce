// The normalisation and validity rule of every field type code, and the
// normalisers they are built from. Values reach the rules already trimmed;
// each normaliser rewrites its string in place and never fails.
#pragma once

#include <string>
#include <string_view>

namespace bq {

// Removes '$', '+' and ','; also '-' for code 'c'; an empty result becomes "0".
void CleanCurrency(std::string& value, char typeCode);
// Removes '+' and ','; "" becomes "0"; an integral number in the 32-bit
// range is rewritten as its decimal text ("12.0" -> "12", "1e3" -> "1000").
void CleanWholeNumber(std::string& value);
// Removes '$', '+' and ','; an empty result becomes "0".
void CleanFloat(std::string& value);
// "" -> "N/A", "1" -> "EIN", "2" -> "SSN", anything else unchanged.
void NormalizeTinType(std::string& value);
// Upper-cases; the true spellings become "X", the false ones and "NULL" empty.
void NormalizeIndicator(std::string& value);
// An 11-character XXX-XX-XXXX loses its 4th and 7th characters.
void NormalizeSsn(std::string& value);
// Drops the dashes of XX-XXXXXXX (tinType "EIN") and XXX-XX-XXXX (tinType
// "SSN"); an empty value gives tinType "N/A"; otherwise tinType is empty.
void NormalizeTin(std::string& value, std::string& tinType);
// A 2- or 4-character year becomes four digits ("18" -> "2018", "50" ->
// "1950"); anything else, and any negative year, becomes empty.
void NormalizeYear(std::string& value);
// MM/DD/YY, MM/DD/YYYY, MMDDYY or MMDDYYYY becomes MMDDYYYY; an invalid
// date becomes empty. Two-digit years are placed around `currentYear`.
void NormalizeDate(std::string& value, int currentYear);

// What a rule made of a value.
enum class Verdict {
    Accepted,  // the value (normalised) goes into the field's slot
    Emptied,   // accepted, but a non-empty optional date or year became empty
    Rejected,  // the value fails its field's test; see RejectionPhrase
};

// Applies the rule of `typeCode` to the trimmed `value`, rewriting it to what
// is written. For code 'N', `tinType` receives the derived TIN type (possibly
// empty); for other codes it is left empty. Codes without a rule ('E', 'e',
// 'k', '9', 'v') copy the value unchanged, like free text.
Verdict ApplyRule(char typeCode, std::string& value, std::string& tinType, int currentYear);

// The phrase naming what a rejected value of `typeCode` is, such as
// "to an invalid TIN "; empty for codes that reject nothing.
std::string_view RejectionPhrase(char typeCode);

}  // namespace bq
