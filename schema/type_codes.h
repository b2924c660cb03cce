// The 25 one-character field type codes: how a field is explained to the
// user, whether its values are normalised and checked, and its output default.
#pragma once

#include <array>
#include <string_view>

namespace bq {

// What verification does with a supplied value of a code.
enum class Rule {
    Copies,      // written as it is, never rejected
    Normalises,  // normalised, and checked when the code has a rejection phrase
    None,        // no rule of its own: written as it is, like free text
};

struct TypeCode {
    char code;                       // compared case-sensitively: 'C' and 'c' differ
    std::string_view hint;           // shown for a ticked or selected field; empty when none
    Rule rule;                       // what verification does with a value
    std::string_view rejection;      // what a rejected value is, "invalid TIN"; empty when none is rejected
    std::string_view problemCode;    // the stable name of a rejection, for tools; empty when none is rejected
    std::string_view outputDefault;  // what an output row holds before a value lands
};

// One code a line, laid out for reading, not by the formatter.
// clang-format off
inline constexpr std::array<TypeCode, 25> TypeCodes = {{
    {'$', "STRING DATA - No special formatting required", Rule::Copies, "", "", ""},
    {'C', "CURRENCY - Negative amounts reflect losses", Rule::Normalises, "invalid currency value", "invalid-currency", "0.00"},
    {'c', "CURRENCY - Cannot be negative", Rule::Normalises, "invalid currency value", "invalid-currency", "0.00"},
    {'u', "USPS DELIVERY POINT - Enter as 2 digits (00-99)", Rule::Normalises, "invalid USPS Delivery Point", "invalid-usps", ""},
    {'w', "WHOLE NUMBER (no decimals, no negative signs)", Rule::Normalises, "invalid whole number value", "invalid-whole-number", "0"},
    {'#', "FLOATING POINT NUMBER (can contain a decimal)", Rule::Normalises, "invalid floating point value", "invalid-float", "0.00"},
    {'E', "Identifiable Event Code -- Refer to Instructions for Form 1099-C", Rule::None, "", "", ""},
    {'O', "REQUIRED - Origin of Health Coverage Code (A-F)", Rule::Normalises, "", "", ""},
    {'o', "Offer of Coverage Code (1A - 1K)", Rule::Copies, "", "", ""},
    {'h', "Sec 4980H Safe Harbor Code (2A - 2I)", Rule::Copies, "", "", ""},
    {'p', "2-digit month (01-12), or 00 = No Plan", Rule::Copies, "", "", ""},
    {'I', "INDICATOR: { Y, YES, T, TRUE, 1 }=TRUE, { N, NO, F, FALSE, 0 }=FALSE", Rule::Normalises, "invalid indicator value", "invalid-indicator", ""},
    {'b', "Date of Birth - (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", Rule::Normalises, "", "", ""},
    {'D', "DATE - Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", Rule::Normalises, "invalid (required) date", "invalid-date", ""},
    {'d', "DATE - Not Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", Rule::Normalises, "", "", ""},
    {'n', "SOCIAL SECURITY NUMBER - Enter as 9 digits or XXX-XX-XXXX", Rule::Normalises, "invalid SSN", "invalid-ssn", ""},
    {'N', "TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX", Rule::Normalises, "invalid TIN", "invalid-tin", ""},
    {'T', "TIN TYPE: { 1, EIN }=Employer ID, { 2, SSN }=Social Security, { Blank, N/A }=Not available", Rule::Normalises, "", "", "N/A"},
    {'Y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Required", Rule::Normalises, "invalid (required) year", "invalid-year", ""},
    {'y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Not Required", Rule::Normalises, "", "", ""},
    {'g', "1=Horses, 2=Dogs, 3=Jai-alai, 4=Lottery, 5=Keno, 6=Bingo, 7=Slots, 8=Poker, 9=Other", Rule::Normalises, "invalid code", "invalid-code", ""},
    {'e', "", Rule::None, "", "", ""},
    {'k', "", Rule::None, "", "", ""},
    {'9', "", Rule::None, "", "", ""},
    {'v', "", Rule::None, "", "", ""},
}};
// clang-format on

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

// What verification does with a value of `code`; Rule::None for no code.
constexpr Rule RuleOf(char code) {
    const TypeCode* t = FindTypeCode(code);
    return t ? t->rule : Rule::None;
}

// What a rejected value of `code` is, such as "invalid TIN"; empty for
// codes that reject nothing.
constexpr std::string_view RejectedAs(char code) {
    const TypeCode* t = FindTypeCode(code);
    return t ? t->rejection : std::string_view{};
}

// The stable name of a rejected value of `code`, such as "invalid-tin"; empty for codes that reject nothing.
constexpr std::string_view RejectionCode(char code) {
    const TypeCode* t = FindTypeCode(code);
    return t ? t->problemCode : std::string_view{};
}

// The output default of `code`; empty for a code without one.
constexpr std::string_view OutputDefault(char code) {
    const TypeCode* t = FindTypeCode(code);
    return t ? t->outputDefault : std::string_view{};
}

}  // namespace bq
