#include "extract/text_encoding.h"

#include <cstdint>
#include <optional>

#include "platform/error.h"
#include "schema/windows1252.h"

namespace bq {
namespace {

std::optional<char> Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    // The C1 controls stand for the five bytes the code page leaves
    // undefined; a CSV character is never written as one of those.
    if (c < 0x100) return std::nullopt;
    for (unsigned byte = 0x80; byte < 0xA0; ++byte)
        if (CodePointOf1252(static_cast<unsigned char>(byte)) == c) return static_cast<char>(byte);
    return std::nullopt;
}

struct Decoded {
    char32_t codePoint;
    size_t size;  // 0: the bytes at hand are not UTF-8
};

// The well-formed sequences of Unicode's table 3-7 by their first byte:
// how long they are and the range of their second byte. No overlong
// forms, no surrogates, nothing above U+10FFFF.
struct Lead {
    unsigned first, last;  // the first bytes of this row
    size_t size;
    unsigned low, high;  // the second byte's range
};
constexpr Lead kLeads[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// The character that begins `s`; size 0 when no well-formed one does.
Decoded DecodeUtf8(std::string_view s) {
    const auto byte = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned b0 = byte(0);
    if (b0 < 0x80) return {b0, 1};
    for (const Lead& lead : kLeads) {
        if (b0 < lead.first || b0 > lead.last) continue;
        // The lead byte's payload: 5, 4 or 3 bits for 2, 3 or 4 bytes.
        char32_t c = b0 & (0x7Fu >> lead.size);
        for (size_t i = 1; i < lead.size; ++i) {
            const unsigned b = byte(i);
            if (b < (i == 1 ? lead.low : 0x80) || b > (i == 1 ? lead.high : 0xBF)) return {0, 0};
            c = (c << 6) | (b & 0x3F);
        }
        return {c, lead.size};
    }
    return {0, 0};
}

std::string Hex(std::uint32_t n, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, n >>= 4) text[static_cast<size_t>(i)] = kDigits[n & 15];
    return text;
}

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return TextEncoding::Utf8;
    for (size_t at = 0; at < bytes.size();) {
        const size_t size = DecodeUtf8(bytes.substr(at)).size;
        if (size == 0) return TextEncoding::Windows1252;
        at += size;
    }
    return TextEncoding::Utf8;
}

std::string ToWindows1252(std::string_view text, TextEncoding encoding, std::string_view where) {
    switch (encoding) {
        case TextEncoding::Windows1252:
            return std::string(text);
        case TextEncoding::Utf8:
            break;
    }
    std::string converted;
    converted.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const Decoded d = DecodeUtf8(text.substr(at));
        if (d.size == 0)
            throw Error(std::string(where) + ": byte 0x" + Hex(static_cast<unsigned char>(text[at]), 2) +
                        " is not UTF-8 (is the file in Windows-1252?)");
        const std::optional<char> b = Windows1252Byte(d.codePoint);
        if (!b)
            throw Error(std::string(where) + ": the character U+" +
                        Hex(d.codePoint, d.codePoint > 0xFFFFF  ? 6
                                         : d.codePoint > 0xFFFF ? 5
                                                                : 4) +
                        " \"" + std::string(text.substr(at, d.size)) +
                        "\" cannot be written in Windows-1252");
        converted += *b;
        at += d.size;
    }
    return converted;
}

}  // namespace bq
