// bqdm types, and the legend of the codes in bqdm fields --help.
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "schema/type_codes.h"
#include "verify/conversions.h"
#include "verify/value_rules.h"

namespace bq::cli {
namespace {

// Lines of the list are broken before this column.
constexpr size_t kWidth = 100;

// Values that show what a code accepts and rejects. What they become is
// worked out by the value rules themselves, so the list cannot drift from
// them. Codes that copy their values need none.
std::vector<std::string_view> SamplesOf(char code) {
    switch (code) {
        case 'C':
            return {"$1,234.50", "-1,000", "", "1 000"};
        case 'c':
            return {"1,234.50", "-1,000", "", "1 000"};
        case 'u':
            return {"5", "42", "", "100", "-1"};
        case 'w':
            return {"1,200", "12.00", "-5", "", "12.5", "2147483648"};
        case '#':
            return {"$1,5.25", "1e3", "", "abc"};
        case 'O':
            return {"b"};
        case 'I':
            return {"yes", "T", "1", "X", "no", "0", "null", "", "maybe"};
        case 'b':
        case 'd':
        case 'D':
            return {"7/4/18", "07/04/2018", "070418", "7042018", "", "02/30/2018", "01-05-2018"};
        case 'n':
            return {"123-45-6789", "123456789", "", "12345678", "12345678A"};
        case 'N':
            return {"12-3456789", "123-45-6789", "123456789", "", "12-34"};
        case 'T':
            return {"1", "2", "", "EIN"};
        case 'Y':
        case 'y':
            return {"18", "50", "2018", "", "123"};
        case 'g':
            return {"3", "0", "10", ""};
        default:
            return {};
    }
}

std::string Quoted(std::string_view s) { return std::string(1, '"').append(s).append(1, '"'); }

// `items` after `label`, joined by ", " and broken into lines before kWidth.
void PrintList(std::ostream& out, std::string_view label, const std::vector<std::string>& items) {
    if (items.empty()) return;
    const std::string indent = "     " + std::string(label.size() + 1, ' ');
    std::string line = "     " + std::string(label) + " ";
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string item = items[i] + (i + 1 < items.size() ? "," : "");
        if (line.size() > indent.size() && line.size() + 1 + item.size() > kWidth) {
            out << line << "\n";
            line = indent;
        } else if (line.size() > indent.size()) {
            line += ' ';
        }
        line += item;
    }
    out << line << "\n";
}

// "  C  CURRENCY - ...": the code and its hint.
void PrintHintLine(std::ostream& out, const TypeCode& t) {
    out << "  " << t.code << "  " << (t.hint.empty() ? "(no hint)" : t.hint) << "\n";
}

void PrintCode(std::ostream& out, const TypeCode& t, int year) {
    PrintHintLine(out, t);
    std::vector<std::string> accepted, rejected;
    for (std::string_view value : SamplesOf(t.code)) {
        std::string buffer;
        std::string_view written, tinType;
        const Verdict verdict = ApplyRule(t.code, value, buffer, written, tinType, year);
        if (verdict == Verdict::Rejected) {
            rejected.push_back(Quoted(value));
            continue;
        }
        std::string item = Quoted(value) + " -> " + Quoted(written);
        if (!tinType.empty()) item += " (TIN type " + std::string(tinType) + ")";
        if (verdict == Verdict::Emptied) item += " (unreadable)";
        accepted.push_back(item);
    }
    if (CopiesValue(t.code)) accepted = {"any text, written as it is"};
    PrintList(out, "accepts", accepted);
    PrintList(out, "rejects", rejected);
    out << "     default " << (t.outputDefault.empty() ? "empty" : Quoted(t.outputDefault)) << "\n";
}

}  // namespace

int RunTypes(const Arguments&, Streams& io) {
    const int year = CurrentYear();
    for (const TypeCode& t : TypeCodes) PrintCode(io.out, t, year);
    return 0;
}

void PrintTypeCodeLegend(std::ostream& out) {
    out << "Type codes (bqdm types shows what their values become):\n";
    for (const TypeCode& t : TypeCodes) PrintHintLine(out, t);
}

}  // namespace bq::cli
