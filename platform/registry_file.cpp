#include "platform/registry_file.h"

#include <vector>

#include "platform/registry.h"
#include "schema/text.h"

namespace bq {

std::string ImportSection() {
    return "HKEY_CURRENT_USER\\" + std::string(kProductKey) + "\\" + std::string(kImportSubkey);
}
namespace {

struct Line {
    size_t begin;  // offset of the first byte
    size_t end;    // offset after the line's '\n' (or the end of the content)
};

std::vector<Line> LinesOf(std::string_view content) {
    std::vector<Line> lines;
    size_t at = 0;
    while (at < content.size()) {
        const size_t nl = content.find('\n', at);
        const size_t end = nl == std::string_view::npos ? content.size() : nl + 1;
        lines.push_back({at, end});
        at = end;
    }
    return lines;
}

// The line without its break and a trailing CR.
std::string_view TextOf(std::string_view content, Line line) {
    std::string_view text = content.substr(line.begin, line.end - line.begin);
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return text;
}

bool IsSectionHeader(std::string_view text) {
    return text.size() >= 2 && text.front() == '[' && text.back() == ']';
}

// Key and value names are case-insensitive, as in the registry itself.
bool IsSection(std::string_view text, std::string_view section) {
    return IsSectionHeader(text) && EqualsIgnoringCase(text.substr(1, text.size() - 2), section);
}

bool IsValueLine(std::string_view text, std::string_view quotedName) {
    return text.size() > quotedName.size() &&
           EqualsIgnoringCase(text.substr(0, quotedName.size()), quotedName) &&
           text[quotedName.size()] == '=';
}

// `value` as a quoted REGEDIT4 string: '\' and '"' escaped by a backslash.
std::string QuotedRegString(std::string_view value) {
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// Ends the last line of `text` with `nl`; a CR at the very end is a line
// break whose LF is missing, and only gets that.
void EndLastLine(std::string& text, const std::string& nl) {
    if (text.back() == '\r')
        text += '\n';
    else if (text.back() != '\n')
        text += nl;
}

}  // namespace

std::optional<std::string> WithRegString(std::string_view content, std::string_view section,
                                         std::string_view name, std::string_view value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return std::nullopt;
    // New lines end the way the file's first line does, so a CR LF file stays CR LF.
    const size_t firstBreak = content.find('\n');
    const std::string nl =
        firstBreak != std::string_view::npos && firstBreak > 0 && content[firstBreak - 1] == '\r' ? "\r\n"
                                                                                                  : "\n";
    const std::string quotedName = QuotedRegString(name);
    const std::string entry = quotedName + "=" + QuotedRegString(value) + nl;
    const std::vector<Line> lines = LinesOf(content);

    size_t s = 0;
    while (s < lines.size() && !IsSection(TextOf(content, lines[s]), section)) ++s;
    if (s == lines.size()) {
        std::string out(content);
        if (out.empty()) out = "REGEDIT4" + nl;
        EndLastLine(out, nl);
        out += nl + "[" + std::string(section) + "]" + nl + entry;
        return out;
    }
    // Every section of the name gets the value, so that none keeps a stale
    // one: in place of its old value, or else right after its header.
    std::string out(content.substr(0, lines[s].begin));
    size_t insertAt = std::string::npos;  // where the open section's value goes if it has none
    const auto closeSection = [&] {
        if (insertAt != std::string::npos) out.insert(insertAt, entry);
        insertAt = std::string::npos;
    };
    for (size_t i = s; i < lines.size(); ++i) {
        const std::string_view text = TextOf(content, lines[i]);
        std::string line(content.substr(lines[i].begin, lines[i].end - lines[i].begin));
        if (IsSectionHeader(text)) {
            closeSection();
            out += line;
            if (IsSection(text, section)) {
                EndLastLine(out, nl);
                insertAt = out.size();
            }
            continue;
        }
        if (insertAt == std::string::npos || !IsValueLine(text, quotedName)) {
            out += line;
            continue;
        }
        // A value written as hex data may continue over lines ending in '\';
        // a section header never continues one, so a stray '\' cannot swallow it.
        while (i + 1 < lines.size() && !TextOf(content, lines[i]).empty() &&
               TextOf(content, lines[i]).back() == '\\' && !IsSectionHeader(TextOf(content, lines[i + 1])))
            ++i;
        out += entry;
        insertAt = std::string::npos;
    }
    closeSection();
    return out;
}

}  // namespace bq
