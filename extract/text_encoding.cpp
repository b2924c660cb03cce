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

// The character that begins `s`, by the well-formed sequences of Unicode's
// table 3-7: no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded DecodeUtf8(std::string_view s) {
    const auto byte = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned b0 = byte(0);
    if (b0 < 0x80) return {b0, 1};
    size_t size;
    unsigned low = 0x80, high = 0xBF;
    char32_t c;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        size = 2, c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        size = 3, c = b0 & 0x0F;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        size = 4, c = b0 & 0x07;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return {0, 0};
    }
    for (size_t i = 1; i < size; ++i) {
        const unsigned b = byte(i);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return {0, 0};
        c = (c << 6) | (b & 0x3F);
    }
    return {c, size};
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
