// The lines of a piece of an extract, as views into its bytes, found as
// they are walked: a line ends at CR LF, a lone LF or a lone CR; a break
// after the last line adds no empty line. Bytes are never transcoded; the
// bytes stay the caller's.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

namespace bq {

class ExtractLines {
  public:
    // Walks the lines in order; each dereference is a view without its line break.
    class Iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        Iterator() = default;
        std::string_view operator*() const { return {begin_, static_cast<size_t>(lineEnd_ - begin_)}; }
        Iterator& operator++() {
            begin_ = next_;
            FindLineEnd();
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const Iterator& other) const { return begin_ == other.begin_; }

      private:
        friend class ExtractLines;
        Iterator(const char* at, const char* end) : begin_(at), end_(end) { FindLineEnd(); }
        // Sets the current line's end and the next line's start.
        void FindLineEnd();
        const char* begin_ = nullptr;    // first byte of the current line
        const char* lineEnd_ = nullptr;  // one past its last byte
        const char* next_ = nullptr;     // first byte after its line break
        const char* end_ = nullptr;      // end of the text
    };

    // The lines of `text`, which must outlive the walk.
    explicit ExtractLines(std::string_view text) : text_(text) {}

    bool empty() const { return text_.empty(); }
    Iterator begin() const { return Iterator(text_.data(), text_.data() + text_.size()); }
    Iterator end() const { return Iterator(text_.data() + text_.size(), text_.data() + text_.size()); }

  private:
    std::string_view text_;
};

namespace line_breaks {

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

}  // namespace line_breaks

// Eight bytes at a time: extracts hold many short lines, and walking them is
// a large share of a verification.
inline void ExtractLines::Iterator::FindLineEnd() {
    const char* p = begin_;
    for (; end_ - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (const std::uint64_t breaks = line_breaks::BreakBytes(word)) {
            p += line_breaks::FirstMarkedByte(breaks);
            break;
        }
    }
    if (end_ - p < 8)
        while (p != end_ && *p != '\n' && *p != '\r') ++p;
    lineEnd_ = next_ = p;
    if (p != end_ && *next_++ == '\r' && next_ != end_ && *next_ == '\n') ++next_;
}

}  // namespace bq
