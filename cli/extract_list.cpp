#include "cli/extract_list.h"

#include <algorithm>
#include <string_view>

#include "platform/files.h"
#include "platform/paths.h"

namespace bq::cli {
namespace {

bool HasPattern(std::string_view name) { return name.find_first_of("*?[") != std::string_view::npos; }

// A name no extract has: a hidden file, or a merge output a run wrote before.
bool Skipped(std::string_view name) { return name.starts_with('.') || name.starts_with("2018DM_"); }

// Matches one "[...]" at the start of `pattern` against `c`; the length of the set, 0 when unclosed.
size_t MatchSet(std::string_view pattern, char c, bool& matched) {
    size_t i = 1;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated) ++i;
    bool found = false;
    for (bool first = true; i < pattern.size() && (first || pattern[i] != ']'); first = false, ++i) {
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            found = found || (c >= pattern[i] && c <= pattern[i + 2]);
            i += 2;
        } else {
            found = found || c == pattern[i];
        }
    }
    if (i >= pattern.size()) return 0;
    matched = found != negated;
    return i + 1;
}

void AddFolder(const std::string& folder, Recursive recursive, ExtractList& list) {
    std::vector<std::string> names = EntryNames(folder);
    std::sort(names.begin(), names.end());
    const std::string base =
        folder.back() == PathSeparators().front() ? folder : folder + PathSeparators().front();
    for (const std::string& name : names) {
        const std::string path = base + name;
        if (RegularFileExists(path)) {
            if (Skipped(name))
                ++list.skipped;
            else
                list.extracts.push_back({path, {}});
        } else if (recursive == Recursive::Yes && FolderExists(path) && !name.starts_with('.')) {
            AddFolder(path, recursive, list);
        }
    }
}

}  // namespace

bool MatchesPattern(std::string_view pattern, std::string_view name) {
    // Backtracking over the last '*' only: linear enough for file names.
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        bool matched = false;
        size_t length = 1;
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
            continue;
        }
        if (p < pattern.size() && pattern[p] == '[') {
            length = MatchSet(pattern.substr(p), name[n], matched);
            if (length == 0) matched = name[n] == '[', length = 1;
        } else if (p < pattern.size()) {
            matched = pattern[p] == '?' || pattern[p] == name[n];
        }
        if (matched) {
            p += length;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

ExtractList ListExtracts(const std::vector<std::string>& operands, Recursive recursive) {
    ExtractList list;
    for (const std::string& operand : operands) {
        const bool pattern = HasPattern(FileNamePart(operand)) && !EntryExists(operand);
        if (operand != "-" && !RegularFileExists(operand) && FolderExists(operand)) {
            AddFolder(operand, recursive, list);
        } else if (pattern) {
            const std::string folder = FolderPart(operand), namePattern = FileNamePart(operand);
            std::vector<std::string> names = EntryNames(folder);
            std::sort(names.begin(), names.end());
            const size_t before = list.extracts.size();
            for (const std::string& name : names) {
                if (!MatchesPattern(namePattern, name) || !RegularFileExists(folder + name)) continue;
                if (Skipped(name) && !Skipped(namePattern))
                    ++list.skipped;
                else
                    list.extracts.push_back({folder + name, {}});
            }
            if (list.extracts.size() == before)
                list.extracts.push_back({operand, "no file matches this pattern"});
        } else {
            // A file, standard input, or nothing there: the verification tells which.
            list.extracts.push_back({operand, {}});
        }
    }
    return list;
}

}  // namespace bq::cli
