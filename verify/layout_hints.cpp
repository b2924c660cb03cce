#include "verify/layout_hints.h"

#include <algorithm>
#include <numeric>

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

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string FormSegmentHint(std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF")
        return "the file starts with a UTF-8 byte-order mark; save it as ANSI (Windows-1252) text";
    if (line.substr(0, 2) == "\xFF\xFE" || line.substr(0, 2) == "\xFE\xFF")
        return "the file is UTF-16 text; save it as ANSI (Windows-1252) text";
    return "the first line must be FORM and the form's name, such as FORM W-2";
}

std::string UnknownFormHint(std::string_view name) {
    const std::string wanted = Skeleton(name);
    int best = -1;
    size_t bestDistance = 0;
    for (int i = kFirstVisibleForm; i < kFormCount; ++i) {
        const size_t d = EditDistance(wanted, Skeleton(FormNames[static_cast<size_t>(i)]));
        if (best < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    const std::string_view closest = FormNames[static_cast<size_t>(best)];
    // Too far from every name to be a slip of the keyboard: list where the names are.
    if (bestDistance > std::max<size_t>(2, wanted.size() / 2)) return "bqdm forms lists the form names";
    return "did you mean FORM " + std::string(closest) + "?";
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
    std::string hint = std::to_string(lines) + " data lines make " + std::to_string(lines / perRecord) +
                       " records of " + std::to_string(perRecord) + " and " +
                       std::to_string(lines % perRecord) + " lines over";
    if (!emptyLines.empty()) {
        hint += "; empty data lines that may be the extra ones: line";
        if (emptyLines.size() > 1) hint += "s";
        for (size_t i = 0; i < emptyLines.size(); ++i)
            hint += (i ? ", " : " ") + std::to_string(emptyLines[i]);
    }
    return hint;
}

}  // namespace bq
