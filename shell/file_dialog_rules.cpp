#include "shell/file_dialog_rules.h"

#include <algorithm>

#include "schema/text.h"

namespace bq::shell {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t end; (end = text.find(separator)) != std::string_view::npos; text.remove_prefix(end + 1))
        parts.push_back(text.substr(0, end));
    parts.push_back(text);
    return parts;
}

}  // namespace

std::vector<NameFilter> NameFilters(std::string_view filter) {
    const std::vector<std::string_view> parts = Split(filter, '|');
    std::vector<NameFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        NameFilter entry{std::string(parts[i]), {}};
        for (std::string_view pattern : Split(parts[i + 1], ';'))
            if (!pattern.empty()) entry.patterns.emplace_back(pattern == "*.*" ? "*" : pattern);
        filters.push_back(std::move(entry));
    }
    return filters;
}

std::optional<std::string> MeantFile(std::string_view typed, std::string_view defaultExtension,
                                     const std::vector<std::string>& files) {
    if (typed.empty()) return std::nullopt;
    if (std::find(files.begin(), files.end(), typed) != files.end()) return std::string(typed);
    if (defaultExtension.empty()) return std::nullopt;
    // As on Windows, a name with an extension of its own gets no other.
    std::string_view stem = typed;
    if (const size_t dot = typed.rfind('.'); dot != std::string_view::npos) {
        if (!EqualsIgnoringCase(typed.substr(dot + 1), defaultExtension)) return std::nullopt;
        stem = typed.substr(0, dot);
    }
    std::optional<std::string> meant;
    for (std::string_view name : files)
        if (name.size() == stem.size() + 1 + defaultExtension.size() && name.starts_with(stem) &&
            name[stem.size()] == '.' && EqualsIgnoringCase(name.substr(stem.size() + 1), defaultExtension) &&
            (!meant || name < *meant))
            meant = name;
    return meant;
}

std::string AddedExtension(const NameFilter& filter, std::string_view defaultExtension) {
    if (!filter.patterns.empty()) {
        const std::string_view pattern = filter.patterns.front();
        if (pattern.starts_with("*.") && EqualsIgnoringCase(pattern.substr(2), defaultExtension))
            return std::string(pattern.substr(2));
    }
    return std::string(defaultExtension);
}

}  // namespace bq::shell
