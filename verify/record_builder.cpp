#include "verify/record_builder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "schema/text.h"
#include "schema/type_codes.h"

namespace bq {
namespace {

// Values are short, so they are examined and copied a word at a time with
// overlapping loads that stay inside the value, rather than byte by byte
// with a loop whose exit the processor cannot predict.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;

std::uint64_t Load8(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

std::uint32_t Load4(const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

// Non-zero when a byte of `w` is below `n` (n at most 0x80); exact as a test.
constexpr std::uint64_t HasByteBelow(std::uint64_t w, std::uint64_t n) {
    return (w - kOnes * n) & ~w & kHighs;
}
constexpr std::uint64_t HasByte(std::uint64_t w, unsigned char c) { return HasByteBelow(w ^ (kOnes * c), 1); }

// What a value needs to be written: nothing, quotes, or quotes and its own
// quotes doubled. Bytes above 0x7F are ANSI letters, never a reason to quote.
enum class Quoting { None, Quotes, QuotesAndDoubling };

Quoting QuotingOfWord(std::uint64_t w) {
    if (HasByte(w, '"')) return Quoting::QuotesAndDoubling;
    return HasByteBelow(w, 0x21) | HasByte(w, ',') ? Quoting::Quotes : Quoting::None;
}

// A word made of the value's bytes alone (repeated where it is short), so
// that the word's test is the value's.
Quoting QuotingOf(std::string_view value) {
    const char* p = value.data();
    const size_t n = value.size();
    if (n >= 8) {
        Quoting q = Quoting::None;
        for (size_t i = 0; i + 8 < n; i += 8) q = std::max(q, QuotingOfWord(Load8(p + i)));
        return std::max(q, QuotingOfWord(Load8(p + n - 8)));
    }
    if (n >= 4) return QuotingOfWord(Load4(p) | std::uint64_t{Load4(p + n - 4)} << 32);
    if (n == 0) return Quoting::None;
    const auto byte = [](char c) { return std::uint64_t{static_cast<unsigned char>(c)}; };
    // The other five bytes are 'A', which needs nothing.
    return QuotingOfWord((kOnes * 'A' & ~std::uint64_t{0xFFFFFF}) | byte(p[0]) | byte(p[n / 2]) << 8 |
                         byte(p[n - 1]) << 16);
}

char* Copy(std::string_view value, char* out) {
    const char* p = value.data();
    const size_t n = value.size();
    if (n > 16) {
        std::memcpy(out, p, n);
    } else if (n >= 8) {
        const std::uint64_t head = Load8(p), tail = Load8(p + n - 8);
        std::memcpy(out, &head, 8);
        std::memcpy(out + n - 8, &tail, 8);
    } else if (n >= 4) {
        const std::uint32_t head = Load4(p), tail = Load4(p + n - 4);
        std::memcpy(out, &head, 4);
        std::memcpy(out + n - 4, &tail, 4);
    } else if (n > 0) {
        out[0] = p[0];
        out[n / 2] = p[n / 2];
        out[n - 1] = p[n - 1];
    }
    return out + n;
}

char* PutText(std::string_view text, char* out) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// The most bytes `value` can take once encoded: quoted, every byte a doubled quote.
constexpr size_t MaxEncodedSize(std::string_view value) { return 2 * value.size() + 2; }

// `value` as one value of an output line: quoted, with its quotes doubled,
// when it holds a byte 0x00-0x20, '"' or ','. Returns the end.
char* Encoded(std::string_view value, char* out) {
    // Empty is the commonest value of all: unsupplied amounts and names.
    if (value.empty()) return out;
    switch (QuotingOf(value)) {
        case Quoting::None:
            return Copy(value, out);
        case Quoting::Quotes:
            *out = '"';
            out = Copy(value, out + 1);
            *out = '"';
            return out + 1;
        case Quoting::QuotesAndDoubling:
            break;
    }
    *out++ = '"';
    for (char c : value) {
        if (c == '"') *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

}  // namespace

RecordBuilder::RecordBuilder(std::string_view typeCodes, std::string_view flags, int currentYear)
    : currentYear_(currentYear) {
    const size_t count = std::min(typeCodes.size(), flags.size());
    int tinTypeField = -1;
    for (size_t i = 0; i < count; ++i) {
        fieldDefaults_.push_back(OutputDefault(typeCodes[i]));
        if (typeCodes[i] == 'T') tinTypeField = static_cast<int>(i);
    }
    std::string pending;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) pending += ',';
        const bool supplied = flags[i] == '1';
        if (!supplied && static_cast<int>(i) != tinTypeField) {
            char encoded[8];  // defaults are at most four bytes
            pending.append(encoded, Encoded(fieldDefaults_[i], encoded));
            continue;
        }
        if (supplied) supplied_.push_back({typeCodes[i], CopiesValue(typeCodes[i]), slotFields_.size(), {}});
        if (static_cast<int>(i) == tinTypeField) tinTypeSlot_ = static_cast<int>(slotFields_.size());
        slotFields_.push_back(static_cast<int>(i));
        slotDefaults_.push_back(fieldDefaults_[i]);
        AddFixedText(pending);
        pending.clear();
    }
    AddFixedText(pending);
    slots_ = slotDefaults_;
    buffers_.resize(slots_.size());
    // The buffers stay where they are from here on: the outcomes view them.
    emptyTexts_.resize(supplied_.size());
    for (size_t f = 0; f < supplied_.size(); ++f) {
        Outcome& empty = supplied_[f].empty;
        empty.verdict =
            ApplyRule(supplied_[f].code, "", emptyTexts_[f], empty.written, empty.tinType, currentYear_);
    }
}

void RecordBuilder::StartRecord() { std::copy(slotDefaults_.begin(), slotDefaults_.end(), slots_.begin()); }

Verdict RecordBuilder::PutByRule(const Supplied& field, std::string_view value) {
    Outcome outcome;
    outcome.verdict =
        ApplyRule(field.code, value, buffers_[field.slot], outcome.written, outcome.tinType, currentYear_);
    return Store(field, outcome);
}

std::vector<std::string> RecordBuilder::Row() const {
    std::vector<std::string> row(fieldDefaults_.begin(), fieldDefaults_.end());
    for (size_t j = 0; j < slots_.size(); ++j) row[static_cast<size_t>(slotFields_[j])] = slots_[j];
    return row;
}

void RecordBuilder::AddFixedText(std::string_view text) {
    fixedText_.push_back({fixedBytes_.size(), text.size()});
    fixedBytes_.append(text).append(kLongWord, '\0');
    fixedSize_ += text.size();
}

char* RecordBuilder::PutFixed(Part part, char* out) const {
    // Nearly all fixed texts are a comma or a run of defaults: a copy of a
    // fixed size, whose excess the next write covers, beats one of exact size.
    const char* text = fixedBytes_.data() + part.offset;
    if (part.size <= kWord)
        std::memcpy(out, text, kWord);
    else if (part.size <= kLongWord)
        std::memcpy(out, text, kLongWord);
    else
        std::memcpy(out, text, part.size);
    return out + part.size;
}

size_t RecordBuilder::MaxEncodedSize() const {
    // kLongWord: the excess of PutFixed; 2: a lone empty value written as two quotes.
    size_t bytes = fixedSize_ + kLongWord + 2;
    for (std::string_view value : slots_) bytes += bq::MaxEncodedSize(value);
    return bytes;
}

char* RecordBuilder::Encode(char* out) const {
    // A row of one empty value would be an empty line; it is written as "".
    if (fieldDefaults_.size() == 1 && (slots_.empty() ? fieldDefaults_[0] : slots_[0]).empty())
        return PutText("\"\"", out);
    for (size_t j = 0; j < slots_.size(); ++j) out = Encoded(slots_[j], PutFixed(fixedText_[j], out));
    return PutFixed(fixedText_.back(), out);
}

}  // namespace bq
