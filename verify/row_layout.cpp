#include "verify/row_layout.h"

#include <algorithm>
#include <cstring>

#include "schema/type_codes.h"

namespace bq {
namespace {

// Bytes above 0x7F are ANSI letters, never a reason to quote.
constexpr bool NeedsQuotes(char c) { return static_cast<unsigned char>(c) <= 0x20 || c == '"' || c == ','; }

char* Put(std::string_view text, char* out) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

char* EncodeValue(std::string_view value, char* out) {
    // Copied while looking: most values need no quotes, and then one pass is all.
    bool quote = false;
    char* end = out;
    for (char c : value) {
        *end++ = c;
        quote |= NeedsQuotes(c);
    }
    if (!quote) return end;
    end = out;
    *end++ = '"';
    for (char c : value) {
        if (c == '"') *end++ = '"';
        *end++ = c;
    }
    *end++ = '"';
    return end;
}

RowLayout::RowLayout(std::string_view typeCodes, std::string_view flags) {
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
            pending.append(encoded, EncodeValue(fieldDefaults_[i], encoded));
            continue;
        }
        if (supplied) suppliedSlots_.push_back(slotFields_.size());
        if (static_cast<int>(i) == tinTypeField) tinTypeSlot_ = static_cast<int>(slotFields_.size());
        slotFields_.push_back(static_cast<int>(i));
        slotDefaults_.push_back(fieldDefaults_[i]);
        AddFixedText(pending);
        pending.clear();
    }
    AddFixedText(pending);
}

void RowLayout::AddFixedText(std::string_view text) {
    fixedText_.push_back({fixedBytes_.size(), text.size()});
    fixedBytes_.append(text).append(kWord, '\0');
    fixedSize_ += text.size();
}

char* RowLayout::PutFixed(Part part, char* out) const {
    // Nearly all fixed texts are a comma or a few defaults: one word-sized
    // copy, whose excess the next write covers, beats a copy of exact size.
    const char* text = fixedBytes_.data() + part.offset;
    if (part.size <= kWord)
        std::memcpy(out, text, kWord);
    else
        std::memcpy(out, text, part.size);
    return out + part.size;
}

size_t RowLayout::MaxEncodedSize(std::span<const std::string_view> slots) const {
    // kWord: the excess of PutFixed; 2: a lone empty value written as two quotes.
    size_t bytes = fixedSize_ + kWord + 2;
    for (std::string_view value : slots) bytes += bq::MaxEncodedSize(value);
    return bytes;
}

char* RowLayout::Encode(std::span<const std::string_view> slots, char* out) const {
    // A row of one empty value would be an empty line; it is written as "".
    if (fieldDefaults_.size() == 1 && (slots.empty() ? fieldDefaults_[0] : slots[0]).empty())
        return Put("\"\"", out);
    for (size_t j = 0; j < slots.size(); ++j) out = EncodeValue(slots[j], PutFixed(fixedText_[j], out));
    return PutFixed(fixedText_.back(), out);
}

}  // namespace bq
