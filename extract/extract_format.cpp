#include "extract/extract_format.h"

#include <algorithm>

#include "schema/text.h"

namespace bq {

std::string FormLine(std::string_view formName) { return "FORM " + std::string(formName); }

std::string KeyLine(std::string_view flags) {
    return "KEY " + ZeroPad(3, std::to_string(flags.size())) + std::string(flags);
}

std::string FlagsOf(const std::vector<bool>& ticked) {
    std::string flags;
    flags.reserve(ticked.size());
    for (bool t : ticked) flags += t ? '1' : '0';
    return flags;
}

std::optional<std::string> FormNameOfLine(std::string_view line) {
    const std::string upper = UpperCaseAscii(line);
    if (upper.compare(0, 5, "FORM ") != 0) return std::nullopt;
    // Only the first blank after FORM belongs to the segment word; further
    // blanks stay in the name, which then matches no form. Trimming can leave
    // fewer than five characters ("FORM " alone): the name is then empty.
    std::string_view name = Trim(upper);
    name.remove_prefix(std::min<size_t>(5, name.size()));
    return std::string(name);
}

KeyLineStatus SplitKeyLine(std::string_view line, KeyParts& parts) {
    const std::string upper = UpperCaseAscii(line);
    if (upper.compare(0, 4, "KEY ") != 0) return KeyLineStatus::NotFound;
    std::string_view s = Trim(upper);
    if (s.size() < 7) return KeyLineStatus::TooShort;
    parts.countText = std::string(s.substr(4, 3));
    parts.flags = std::string(s.substr(7));
    return KeyLineStatus::Ok;
}

std::vector<int> SelectedFields(std::string_view flags) {
    std::vector<int> selected;
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i] == '1') selected.push_back(static_cast<int>(i));
    return selected;
}

}  // namespace bq
