// The lines of a data extract. The file is read whole into one buffer and
// lines are views into it, found as they are walked: a line ends at CR LF,
// a lone LF or a lone CR; a break after the last line adds no empty line;
// a NUL byte ends the text. Bytes are never transcoded.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
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

    ExtractLines() = default;
    // Takes `text` as the extract's content.
    explicit ExtractLines(std::string text) { Assign(std::move(text)); }

    // Replaces the lines with those of `text`.
    void Assign(std::string text);
    // Removes every line.
    void Clear();
    // Keeps only the lines from `first` up to, not including, `last`.
    void KeepRange(Iterator first, Iterator last);

    bool empty() const { return live_begin_ == live_end_; }
    Iterator begin() const { return Iterator(text_.data() + live_begin_, text_.data() + live_end_); }
    Iterator end() const { return Iterator(text_.data() + live_end_, text_.data() + live_end_); }

    // The first line equal to `text` ignoring ASCII letter case, or end().
    // Found by searching the bytes, not by walking every line.
    Iterator FindLineIgnoringCase(std::string_view text) const;
    // The number of lines from `first` up to, not including, `last`.
    size_t CountLines(Iterator first, Iterator last) const;

  private:
    std::string text_;
    // The live lines are text_[live_begin_, live_end_); offsets rather than
    // pointers so that moving the buffer keeps them valid.
    size_t live_begin_ = 0;
    size_t live_end_ = 0;
};

}  // namespace bq
