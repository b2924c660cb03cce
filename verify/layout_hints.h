// Hints for a faulty extract layout: what the headless tool adds below the
// system's message so that a writer of extracts sees the likely fix.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bq {

// Why the first line `line` names no FORM segment: a byte-order mark, UTF-16 text, or the expected shape.
std::string FormSegmentHint(std::string_view line);

// The visible form whose name is closest to `name`, offered as "did you mean ...?".
std::string UnknownFormHint(std::string_view name);

// What a KEY line must hold.
std::string KeyShapeHint();

// The count a KEY declares against the flags it has.
std::string KeyChecksumHint(std::string_view countText, size_t flags);

// The fields of `form` against the flags of its KEY.
std::string KeyFieldCountHint(std::string_view form, size_t fields, size_t flags);

// Whole records and lines over, and the empty data lines that may be the extra ones.
std::string AllocationHint(size_t perRecord, size_t lines, const std::vector<size_t>& emptyLines);

}  // namespace bq
