// The form catalogue: every form's index and name, and the form lookups
// used by the FORM segment check and the form selector.
#pragma once

#include <array>
#include <string_view>

namespace bq {

// The reporting year this module is built for; it appears in messages and file names.
inline constexpr std::string_view kReportingYear = "2018";
// The same year as a number.
inline constexpr int kReportingYearNumber = [] {
    int year = 0;
    for (const char digit : kReportingYear) year = year * 10 + (digit - '0');
    return year;
}();

// Number of catalogue entries; form indexes run from 0 to kFormCount - 1.
inline constexpr int kFormCount = 37;

// Forms below this index are hidden: they have field lists but are never offered.
inline constexpr int kFirstVisibleForm = 4;

// The catalogue in form-index order; also the order of the form selector.
inline constexpr std::array<std::string_view, kFormCount> FormNames = {
    "Clients",   "Sponsors", "W-2 VCode", "ALE Group", "1094",    "1095-B",   "1095-B CI", "1095-C",
    "1095-C CI", "1098",     "1098-C",    "1098-E",    "1098-T",  "1099-A",   "1099-B",    "1099-C",
    "1099-CAP",  "1099-DIV", "1099-G",    "1099-INT",  "1099-K",  "1099-LTC", "1099-MISC", "1099-OID",
    "1099-PATR", "1099-Q",   "1099-R",    "1099-S",    "1099-SA", "3921",     "3922",      "5498",
    "5498-ESA",  "5498-SA",  "W-2",       "W-2C",      "W-2G",
};

// The form index whose name equals `name` byte for byte, or -1.
int FindFormIndex(std::string_view name);

// The first visible form whose name begins with `text`, ignoring ASCII case,
// or -1; this is the selector's type-ahead.
int FindVisibleFormByPrefix(std::string_view text);

}  // namespace bq
