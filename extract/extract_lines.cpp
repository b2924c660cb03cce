#include "extract/extract_lines.h"

#include <bit>
#include <cstdint>
#include <cstring>

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

}  // namespace bq
