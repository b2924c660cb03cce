#include "extract/extract_lines.h"

#include <cstring>

#include "schema/text.h"

namespace bq {

void ExtractLines::Assign(std::string text) {
    text_ = std::move(text);
    const void* nul = std::memchr(text_.data(), '\0', text_.size());
    live_begin_ = 0;
    live_end_ = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text_.data()) : text_.size();
}

void ExtractLines::Clear() {
    text_.clear();
    text_.shrink_to_fit();
    live_begin_ = live_end_ = 0;
}

void ExtractLines::KeepRange(Iterator first, Iterator last) {
    live_end_ = static_cast<size_t>(last.begin_ - text_.data());
    live_begin_ = static_cast<size_t>(first.begin_ - text_.data());
}

ExtractLines::Iterator ExtractLines::FindLineIgnoringCase(std::string_view text) const {
    const char* const first = text_.data() + live_begin_;
    const char* const last = text_.data() + live_end_;
    if (text.empty()) {
        for (Iterator it = begin(); it != end(); ++it)
            if ((*it).empty()) return it;
        return end();
    }
    const char lower = ToLowerAscii(text[0]), upper = ToUpperAscii(text[0]);
    for (const char* p = first; p != last; ++p) {
        // Candidates are the bytes that can start the text; memchr finds
        // them fast when the text starts with a byte that has no case.
        if (lower == upper) {
            p = static_cast<const char*>(std::memchr(p, lower, static_cast<size_t>(last - p)));
            if (!p) break;
        } else if (*p != lower && *p != upper) {
            continue;
        }
        const bool startsLine = p == first || p[-1] == '\n' || p[-1] == '\r';
        if (!startsLine || static_cast<size_t>(last - p) < text.size() ||
            !EqualsIgnoringCase(std::string_view(p, text.size()), text))
            continue;
        const char* after = p + text.size();
        if (after == last || *after == '\n' || *after == '\r') return Iterator(p, last);
    }
    return end();
}

size_t ExtractLines::CountLines(Iterator first, Iterator last) const {
    const char* const from = first.begin_;
    const size_t size = static_cast<size_t>(last.begin_ - from);
    if (size == 0) return 0;
    // Counts the breaks before the last byte; a CR followed by LF is one
    // break. The loop is plain so that the compiler can vectorise it.
    size_t breaks = 0;
    for (size_t i = 0; i + 1 < size; ++i)
        breaks += (from[i] == '\n') | ((from[i] == '\r') & (from[i + 1] != '\n'));
    // The last byte is the last line's break or, without one, its end.
    return breaks + 1;
}

std::vector<std::string> ExtractLines::ToVector() const {
    std::vector<std::string> lines;
    for (std::string_view line : *this) lines.emplace_back(line);
    return lines;
}

}  // namespace bq
