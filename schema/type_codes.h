// The 25 one-character field type codes: how a field is explained to the
// user, whether its values are normalised and checked, and its output default.
#pragma once

#include <array>
#include <string_view>

namespace bq {

struct TypeCode {
    char code;                       // compared case-sensitively: 'C' and 'c' differ
    std::string_view hint;           // shown for a ticked or selected field; empty when none
    bool hasRule;                    // values of this code are normalised and checked
    std::string_view outputDefault;  // what an output row holds before a value lands
};

inline constexpr std::array<TypeCode, 25> TypeCodes = {{
    {'$', "STRING DATA - No special formatting required", true, ""},
    {'C', "CURRENCY - Negative amounts reflect losses", true, "0.00"},
    {'c', "CURRENCY - Cannot be negative", true, "0.00"},
    {'u', "USPS DELIVERY POINT - Enter as 2 digits (00-99)", true, ""},
    {'w', "WHOLE NUMBER (no decimals, no negative signs)", true, "0"},
    {'#', "FLOATING POINT NUMBER (can contain a decimal)", true, "0.00"},
    {'E', "Identifiable Event Code -- Refer to Instructions for Form 1099-C", false, ""},
    {'O', "REQUIRED - Origin of Health Coverage Code (A-F)", true, ""},
    {'o', "Offer of Coverage Code (1A - 1K)", true, ""},
    {'h', "Sec 4980H Safe Harbor Code (2A - 2I)", true, ""},
    {'p', "2-digit month (01-12), or 00 = No Plan", true, ""},
    {'I', "INDICATOR: { Y, YES, T, TRUE, 1 }=TRUE, { N, NO, F, FALSE, 0 }=FALSE", true, ""},
    {'b', "Date of Birth - (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", true, ""},
    {'D', "DATE - Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", true, ""},
    {'d', "DATE - Not Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", true, ""},
    {'n', "SOCIAL SECURITY NUMBER - Enter as 9 digits or XXX-XX-XXXX", true, ""},
    {'N', "TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX", true, ""},
    {'T', "TIN TYPE: { 1, EIN }=Employer ID, { 2, SSN }=Social Security, { Blank, N/A }=Not available", true,
     "N/A"},
    {'Y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Required", true, ""},
    {'y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Not Required", true, ""},
    {'g', "1=Horses, 2=Dogs, 3=Jai-alai, 4=Lottery, 5=Keno, 6=Bingo, 7=Slots, 8=Poker, 9=Other", true, ""},
    {'e', "", false, ""},
    {'k', "", false, ""},
    {'9', "", false, ""},
    {'v', "", false, ""},
}};

// The entry of `code`, or nullptr for a character that is no type code.
constexpr const TypeCode* FindTypeCode(char code) {
    for (const TypeCode& t : TypeCodes)
        if (t.code == code) return &t;
    return nullptr;
}

// The status-pane hint of `code`; empty for a code without hint or no code.
constexpr std::string_view TypeHint(char code) {
    const TypeCode* t = FindTypeCode(code);
    return t ? t->hint : std::string_view{};
}

// The output default of `code`; empty for a code without one.
constexpr std::string_view OutputDefault(char code) {
    const TypeCode* t = FindTypeCode(code);
    return t ? t->outputDefault : std::string_view{};
}

}  // namespace bq
