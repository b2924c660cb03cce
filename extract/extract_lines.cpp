#include "extract/extract_lines.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "schema/text.h"

namespace bq {
namespace {

// The high bit of every byte of `word` that is LF or CR, and no other bit;
// exact, so no byte can mark its neighbour.
constexpr std::uint64_t BreakBytes(std::uint64_t word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL, kEach = 0x0101010101010101ULL;
    const auto zeroBytes = [](std::uint64_t x) { return ~(((x & kLow7) + kLow7) | x | kLow7); };
    return zeroBytes(word ^ ('\n' * kEach)) | zeroBytes(word ^ ('\r' * kEach));
}

// The offset of the first byte in memory order whose high bit is set.
constexpr int FirstMarkedByte(std::uint64_t marks) {
    const bool little = std::endian::native == std::endian::little;
    return (little ? std::countr_zero(marks) : std::countl_zero(marks)) / 8;
}

}  // namespace

// Eight bytes at a time: extracts hold many short lines, and walking them is
// a large share of a verification.
void ExtractLines::Iterator::FindLineEnd() {
    const char* p = begin_;
    for (; end_ - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (const std::uint64_t breaks = BreakBytes(word)) {
            p += FirstMarkedByte(breaks);
            break;
        }
    }
    if (end_ - p < 8)
        while (p != end_ && *p != '\n' && *p != '\r') ++p;
    lineEnd_ = next_ = p;
    if (p != end_ && *next_++ == '\r' && next_ != end_ && *next_ == '\n') ++next_;
}

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

}  // namespace bq
