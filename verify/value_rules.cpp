#include "verify/value_rules.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "schema/text.h"
#include "verify/conversions.h"

namespace bq {
namespace {

// Decimal text through to_chars, which never consults a locale.
std::string IntegerText(int n) {
    char buf[16];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    (void)ec;  // 16 bytes hold any 32-bit integer
    return std::string(buf, end);
}

void RemoveAll(std::string& value, char c) { value.erase(std::remove(value.begin(), value.end(), c), value.end()); }

void ZeroWhenBlank(std::string& value) {
    if (Trim(value).empty()) value = "0";
}

// Characters 1-3, 5-6 and 8-11 of an 11-character XXX-XX-XXXX.
void DropSsnDashes(std::string& value) { value = value.substr(0, 3) + value.substr(4, 2) + value.substr(7, 4); }

bool IsNineDigitsOrEmpty(std::string_view value) {
    return value.empty() || (value.size() == 9 && IsAllDigits(value));
}

}  // namespace

void CleanCurrency(std::string& value, char typeCode) {
    RemoveAll(value, '$');
    RemoveAll(value, '+');
    RemoveAll(value, ',');
    if (typeCode == 'c') RemoveAll(value, '-');
    ZeroWhenBlank(value);
}

void CleanWholeNumber(std::string& value) {
    RemoveAll(value, '+');
    RemoveAll(value, ',');
    ZeroWhenBlank(value);
    const auto number = ToDouble(value);
    if (number && *number >= -2147483648.0 && *number <= 2147483647.0 &&
        *number == static_cast<double>(static_cast<std::int32_t>(*number)))
        value = IntegerText(static_cast<int>(*number));
}

void CleanFloat(std::string& value) {
    RemoveAll(value, '$');
    RemoveAll(value, '+');
    RemoveAll(value, ',');
    ZeroWhenBlank(value);
}

void NormalizeTinType(std::string& value) {
    if (value.empty())
        value = "N/A";
    else if (value == "1")
        value = "EIN";
    else if (value == "2")
        value = "SSN";
}

void NormalizeIndicator(std::string& value) {
    value = UpperCaseAscii(value);
    if (value == "NULL" || value == "0" || value == "N" || value == "F" || value == "FALSE" || value == "NO")
        value.clear();
    else if (value == "1" || value == "Y" || value == "T" || value == "TRUE" || value == "YES")
        value = "X";
}

void NormalizeSsn(std::string& value) {
    if (value.size() == 11) DropSsnDashes(value);
}

void NormalizeTin(std::string& value, std::string& tinType) {
    tinType = value.empty() ? "N/A" : "";
    if (value.size() == 10) {
        value = value.substr(0, 2) + value.substr(3);
        tinType = "EIN";
    } else if (value.size() == 11) {
        DropSsnDashes(value);
        tinType = "SSN";
    }
}

void NormalizeYear(std::string& value) {
    if (value.size() != 2 && value.size() != 4) {
        value.clear();
        return;
    }
    const auto year = ToInt32(value);
    // A negative year names no reporting year; it is treated as invalid.
    if (!year || *year < 0) {
        value.clear();
        return;
    }
    int n = *year;
    if (n < 50) n += 2000;
    if (n < 100) n += 1900;
    value = IntegerText(n);
}

void NormalizeDate(std::string& value, int currentYear) {
    if (value.empty()) return;
    if (value.find('/') == std::string::npos) {
        const bool shortForm = value.size() <= 6;
        value = ZeroPad(shortForm ? 6 : 8, value);
        value = value.substr(0, 2) + "/" + value.substr(2, 2) + "/" + value.substr(4);
    }
    const auto date = ToDate(value, currentYear);
    if (!date) {
        value.clear();
        return;
    }
    value = ZeroPad(2, IntegerText(date->month)) + ZeroPad(2, IntegerText(date->day)) +
            ZeroPad(4, IntegerText(date->year));
}

Verdict ApplyRule(char typeCode, std::string& value, std::string& tinType, int currentYear) {
    tinType.clear();
    const auto valid = [](bool ok) { return ok ? Verdict::Accepted : Verdict::Rejected; };
    const auto optional = [&value](bool wasEmpty) {
        return !wasEmpty && value.empty() ? Verdict::Emptied : Verdict::Accepted;
    };
    switch (typeCode) {
        case 'O':
            value = UpperCaseAscii(value);
            return Verdict::Accepted;
        case 'T':
            NormalizeTinType(value);
            return Verdict::Accepted;
        case 'I':
            NormalizeIndicator(value);
            return valid(value.empty() || value == "X");
        case 'C':
        case 'c':
            CleanCurrency(value, typeCode);
            return valid(ToCurrency(value).has_value());
        case 'w':
            CleanWholeNumber(value);
            return valid(ToInt32(value).has_value());
        case '#':
            CleanFloat(value);
            return valid(ToDouble(value).has_value());
        case 'n':
            NormalizeSsn(value);
            return valid(IsNineDigitsOrEmpty(value));
        case 'N':
            NormalizeTin(value, tinType);
            return valid(IsNineDigitsOrEmpty(value));
        case 'Y':
            NormalizeYear(value);
            return valid(!value.empty());
        case 'y': {
            const bool wasEmpty = value.empty();
            NormalizeYear(value);
            return optional(wasEmpty);
        }
        case 'D':
            NormalizeDate(value, currentYear);
            return valid(!value.empty());
        case 'd':
        case 'b': {
            const bool wasEmpty = value.empty();
            NormalizeDate(value, currentYear);
            return optional(wasEmpty);
        }
        case 'u': {
            if (value.empty()) return Verdict::Accepted;
            const auto n = ToInt32(value);
            if (!n || *n < 0 || *n > 99) return Verdict::Rejected;
            value = ZeroPad(2, IntegerText(*n));
            return Verdict::Accepted;
        }
        case 'g':
            return valid(value.size() == 1 && value[0] >= '1' && value[0] <= '9');
        default:
            // Free text, the coverage codes, and the codes without a rule of
            // their own are carried into the output unchanged.
            return Verdict::Accepted;
    }
}

std::string_view RejectionPhrase(char typeCode) {
    switch (typeCode) {
        case 'I': return "to an invalid indicator value ";
        case 'C':
        case 'c': return "to an invalid currency value ";
        case 'w': return "to an invalid whole number value ";
        case '#': return "to an invalid floating point value ";
        case 'n': return "to an invalid SSN ";
        case 'N': return "to an invalid TIN ";
        case 'Y': return "to an invalid (required) year ";
        case 'D': return "to an invalid (required) date ";
        case 'u': return "to an invalid USPS Delivery Point ";
        case 'g': return "to an invalid code ";
        default: return "";
    }
}

}  // namespace bq
