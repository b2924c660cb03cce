#include "extract/extract_lines.h"

#include <cstring>

namespace bq {
namespace {

const char* FindLineBreak(const char* p, const char* end) {
    while (p != end && *p != '\n' && *p != '\r') ++p;
    return p;
}

}  // namespace

ExtractLines::Iterator::Iterator(const char* at, const char* end) : begin_(at), end_(end) {
    if (begin_ == end_) {
        lineEnd_ = next_ = end_;
        return;
    }
    lineEnd_ = FindLineBreak(begin_, end_);
    next_ = lineEnd_;
    if (next_ != end_ && *next_++ == '\r' && next_ != end_ && *next_ == '\n') ++next_;
}

ExtractLines::Iterator& ExtractLines::Iterator::operator++() {
    *this = Iterator(next_, end_);
    return *this;
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

std::vector<std::string> ExtractLines::ToVector() const {
    std::vector<std::string> lines;
    for (std::string_view line : *this) lines.emplace_back(line);
    return lines;
}

}  // namespace bq
