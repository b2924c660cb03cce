// Internal to the value rules: the normalisers they are built from.
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

}  // namespace bq
