#include "verify/value_remarks.h"

#include <algorithm>
#include <cstdio>

#include "schema/form_catalogue.h"
#include "schema/text.h"
#include "schema/type_codes.h"

namespace bq {
namespace {

constexpr int kYear = kReportingYearNumber;

// Digits, at least one.
bool AllDigits(std::string_view s) { return !s.empty() && IsAllDigits(s); }

// A five-digit number in a date field: what a spreadsheet shows of a date
// cell formatted as a number (days since 1899-12-30).
bool IsDateSerial(std::string_view value) { return value.size() == 5 && AllDigits(value); }

// The calendar date, MM/DD/YYYY, of a spreadsheet date serial.
std::string SerialDate(std::string_view serial) {
    // Days from 1970-01-01, turned into a civil date by the usual era arithmetic.
    const long days = std::stol(std::string(serial)) - 25569 + 719468;
    const long era = days / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long mp = (5 * dayOfYear + 2) / 153;
    const long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long month = mp < 10 ? mp + 3 : mp - 9;
    const long year = yearOfEra + era * 400 + (month <= 2);
    char text[64];
    std::snprintf(text, sizeof text, "%02ld/%02ld/%04ld", month, day, year);
    return text;
}

std::string SerialHint(std::string_view value) {
    return std::string(value) + " is the spreadsheet date serial of " + SerialDate(value) +
           "; format the column as text MM/DD/YYYY";
}

// Digits, an optional point and digits, an E, an optional sign and digits.
bool IsExponential(std::string_view v) {
    if (!v.empty() && (v[0] == '-' || v[0] == '+')) v.remove_prefix(1);
    // Not find_first_of, which calls memchr for each byte of the value.
    const size_t e = static_cast<size_t>(
        std::find_if(v.begin(), v.end(), [](char c) { return c == 'E' || c == 'e'; }) - v.begin());
    if (e == v.size()) return false;
    const std::string_view mantissa = v.substr(0, e);
    std::string_view exponent = v.substr(e + 1);
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.remove_prefix(1);
    const auto digits = std::count_if(mantissa.begin(), mantissa.end(), IsDigit);
    return digits > 0 &&
           static_cast<size_t>(digits) + (mantissa.find('.') != std::string_view::npos) == mantissa.size() &&
           std::count(mantissa.begin(), mantissa.end(), '.') <= 1 && AllDigits(exponent);
}

// A comma followed by one or two digits at the end, or by digits after a
// point: 12,5 or 1.234,50 — a decimal comma, not a thousands separator.
bool HasDecimalComma(std::string_view v) {
    const size_t comma = v.rfind(',');
    if (comma == std::string_view::npos) return false;
    const std::string_view after = v.substr(comma + 1);
    if (!AllDigits(after)) return false;
    return after.size() <= 2 || v.substr(0, comma).find('.') != std::string_view::npos;
}

// Area 000, 666 or 900-999, group 00 or serial 0000: numbers never issued as SSNs.
bool IsUnissuedSsn(std::string_view digits) {
    if (digits.size() != 9 || !AllDigits(digits)) return false;
    const std::string_view area = digits.substr(0, 3);
    return area == "000" || area == "666" || area[0] == '9' || digits.substr(3, 2) == "00" ||
           digits.substr(5) == "0000";
}

// XXX-XX-XXXX: a TIN written the way SSNs are.
bool IsSsnShaped(std::string_view v) {
    return v.size() == 11 && v[3] == '-' && v[6] == '-' && AllDigits(v.substr(0, 3)) &&
           AllDigits(v.substr(4, 2)) && AllDigits(v.substr(7));
}

// Month/day without a year: two digit runs around one '/'.
bool LacksYear(std::string_view v) {
    if (v.size() >= 1 && v.back() == '/') v.remove_suffix(1);
    const size_t slash = v.find('/');
    if (slash == std::string_view::npos || v.find('/', slash + 1) != std::string_view::npos) return false;
    return AllDigits(Trim(v.substr(0, slash))) && AllDigits(Trim(v.substr(slash + 1)));
}

// A year given with one or two digits, which the rules place by today's clock.
bool HasShortYear(std::string_view v) {
    if (AllDigits(v)) return v.size() == 6;
    const size_t slash = v.rfind('/');
    if (slash == std::string_view::npos) return false;
    const std::string_view year = Trim(v.substr(slash + 1));
    return !year.empty() && year.size() <= 2;
}

void FindDateRemarks(char code, std::string_view value, std::string_view written, Verdict verdict,
                     std::vector<Remark>& out) {
    if (verdict == Verdict::Emptied) {
        out.push_back({"date-emptied", "invalid optional date, written empty",
                       IsDateSerial(value) ? SerialHint(value) : "write the date as MM/DD/YYYY"});
        return;
    }
    if (verdict != Verdict::Accepted || written.size() != 8) return;
    if (IsDateSerial(value)) {
        out.push_back(
            {"date-serial", "a spreadsheet date serial, read as a month, day and year", SerialHint(value)});
        return;
    }
    if (LacksYear(value)) {
        out.push_back({"date-no-year", "no year given: the current year was used",
                       "written as " + std::string(written.substr(4)) + ", not " + std::to_string(kYear) +
                           "; add the year"});
        return;
    }
    const int year = std::stoi(std::string(written.substr(4)));
    if (code == 'b' ? year > kYear : year > kYear + 1)
        out.push_back({"date-far",
                       code == 'b' ? "a date of birth after the reporting year"
                                   : "a date more than a year after the reporting year",
                       HasShortYear(value) ? "the two-digit year was read as " + std::to_string(year) +
                                                 "; write the year with four digits"
                                           : "check the year"});
}

void FindAmountRemarks(char code, std::string_view value, std::string_view written,
                       std::vector<Remark>& out) {
    if (IsExponential(value))
        out.push_back({"exponent", "a number in E notation",
                       "written as " + std::string(written) +
                           "; format the column as a number with decimals, not scientific"});
    if (code != 'w' && HasDecimalComma(value))
        out.push_back({"decimal-comma", "a comma that looks like a decimal comma",
                       "written as " + std::string(written) + "; use '.' for the decimal point"});
    if (code == 'c' && value.find('-') != std::string_view::npos)
        out.push_back({"sign-dropped", "minus sign dropped: this amount cannot be negative",
                       "written as " + std::string(written)});
}

}  // namespace

FieldTraits TraitsOf(char typeCode, std::string_view caption) {
    // A ZIP code field, not that of its four-digit extension.
    const std::string upper = UpperCaseAscii(caption);
    const bool zip = typeCode == '$' && upper.find("ZIP CODE") != std::string::npos &&
                     upper.find("EXTENSION") == std::string::npos;
    return {typeCode, zip, zip || std::string_view("DdbyCcw#nN").find(typeCode) != std::string_view::npos};
}

void FindRemarks(const FieldTraits& field, std::string_view value, std::string_view written, Verdict verdict,
                 std::vector<Remark>& out) {
    if (value.empty()) return;
    switch (field.typeCode) {
        case 'D':
        case 'd':
        case 'b':
            FindDateRemarks(field.typeCode, value, written, verdict, out);
            break;
        case 'y':
            if (verdict == Verdict::Emptied)
                out.push_back(
                    {"year-emptied", "invalid optional year, written empty", "write the year as YYYY"});
            break;
        case 'C':
        case 'c':
        case 'w':
        case '#':
            if (verdict == Verdict::Accepted) FindAmountRemarks(field.typeCode, value, written, out);
            break;
        case 'n':
        case 'N':
            if (verdict == Verdict::Accepted && (field.typeCode == 'n' || IsSsnShaped(value)) &&
                IsUnissuedSsn(written))
                out.push_back({"ssn-unissued", "a number never issued as an SSN",
                               "area 000, 666 or 900-999, group 00 and serial 0000 are never issued"});
            break;
        case '$':
            if (field.zipCode && (value.size() == 3 || value.size() == 4) && AllDigits(value))
                out.push_back({"leading-zeros", "a ZIP code of " + std::to_string(value.size()) + " digits",
                               "leading zeros may have been lost: " + std::string(5 - value.size(), '0') +
                                   std::string(value) + "?"});
            break;
        default:
            break;
    }
}

std::string RejectionHint(char typeCode, std::string_view value) {
    if (typeCode == 'D' && IsDateSerial(value)) return SerialHint(value);
    if ((typeCode == 'n' || typeCode == 'N') && (value.size() == 7 || value.size() == 8) && AllDigits(value))
        return "leading zeros may have been lost: " + std::string(9 - value.size(), '0') +
               std::string(value) + "?";
    const std::string_view hint = TypeHint(typeCode);
    return hint.empty() ? std::string() : "expected " + std::string(hint);
}

Remark EmptyRecordRemark(size_t records) {
    return {"empty-record", "every value of the record is empty",
            (records == 2  ? std::string("so is the record after it; ")
             : records > 2 ? "so are the " + std::to_string(records - 1) + " records after it; "
                           : std::string()) +
                "blank lines or empty rows? the output gets a record of defaults for each"};
}

}  // namespace bq
