#include "verify/layout_hints.h"

#include <algorithm>

#include "extract/text_encoding.h"
#include "schema/form_catalogue.h"
#include "schema/text.h"

namespace bq {
namespace {

// The letters and digits of `s`, upper-cased: "w2" and "W-2" compare alike.
std::string Skeleton(std::string_view s) {
    std::string out;
    for (char c : s)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            out += ToUpperAscii(c);
    return out;
}

}  // namespace

std::string FormSegmentHint(std::string_view line) {
    if (line.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        return "the file starts with a UTF-8 byte-order mark; save it as ANSI (Windows-1252) text";
    if (line.substr(0, 2) == "\xFF\xFE" || line.substr(0, 2) == "\xFE\xFF")
        return "the file is UTF-16 text; save it as ANSI (Windows-1252) text";
    return "the first line must be FORM and the form's name, such as FORM W-2";
}

std::string UnknownFormHint(std::string_view name) {
    const std::string wanted = Skeleton(name);
    // Farther from every name than this is no slip of the keyboard.
    const size_t slip = std::max<size_t>(2, wanted.size() / 2);
    int best = -1;
    size_t bestDistance = 0;
    for (int i = kFirstVisibleForm; i < kFormCount; ++i) {
        // A long line (a whole file without breaks) is told apart at once.
        const size_t d = EditDistance(wanted, Skeleton(FormNames[static_cast<size_t>(i)]), slip);
        if (best < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    if (bestDistance > slip) return "bqdm forms lists the form names";
    return "did you mean FORM " + std::string(FormNames[static_cast<size_t>(best)]) + "?";
}

std::string KeyShapeHint() {
    return "the second line must be KEY, the field count in three digits and one flag (0 or 1) per field; "
           "bqdm template FORM writes it";
}

std::string KeyChecksumHint(std::string_view countText, size_t flags) {
    const std::string_view count = Trim(countText);
    if (count.empty() || count.find_first_not_of("0123456789") != std::string_view::npos)
        return "the count \"" + std::string(countText) + "\" after KEY is no number; it must be " +
               std::to_string(flags) + ", the number of flags";
    return "the KEY declares " + std::string(count) + " fields but has " + std::to_string(flags) + " flags";
}

std::string KeyFieldCountHint(std::string_view form, size_t fields, size_t flags) {
    return "FORM " + std::string(form) + " has " + std::to_string(fields) + " fields; the KEY has " +
           std::to_string(flags) + " flags";
}

std::string AllocationHint(size_t perRecord, size_t lines, const std::vector<size_t>& emptyLines) {
    const size_t over = lines % perRecord;
    std::string hint = std::to_string(lines) + " data lines make " + std::to_string(lines / perRecord) +
                       (lines / perRecord == 1 ? " record of " : " records of ") + std::to_string(perRecord) +
                       " and " + std::to_string(over) + (over == 1 ? " line over" : " lines over");
    if (!emptyLines.empty()) {
        hint += "; empty data lines that may be the extra ones: line";
        if (emptyLines.size() > 1) hint += "s";
        for (size_t i = 0; i < emptyLines.size(); ++i)
            hint += (i ? ", " : " ") + std::to_string(emptyLines[i]);
    }
    return hint;
}

}  // namespace bq
