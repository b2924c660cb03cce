#include "cli/console_buffer.h"

#include <cerrno>
#include <cstdio>

#include "schema/windows1252.h"

namespace bq::cli {
namespace {

// Bytes are handed to the C library in pieces of about this size.
constexpr size_t kPiece = 1 << 16;

void AppendEscaped(std::string& out, const char* format, unsigned code) {
    char text[8];
    std::snprintf(text, sizeof text, format, code);
    out += text;
}

// Appends `bytes` with their control characters escaped, converted as `encoding` says.
void AppendShown(std::string& out, std::string_view bytes, Encoding encoding) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t code = CodePointOf1252(byte);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F)
            AppendEscaped(out, "\\x%02x", byte);
        else if (code >= 0x80 && code <= 0x9F)
            AppendEscaped(out, encoding == Encoding::Utf8From1252 ? "\\u%04x" : "\\x%02x", byte);
        else if (encoding == Encoding::Utf8From1252)
            AppendUtf8From1252(out, std::string_view(&c, 1));
        else
            out += c;
    }
}

}  // namespace

bool ConsoleBuffer::Put(std::string_view bytes) {
    if (failed_) return false;
    if (controls_ == Controls::Escaped) {
        AppendShown(pending_, bytes, encoding_);
    } else {
        switch (encoding_) {
            case Encoding::AsIs:
                pending_ += bytes;
                break;
            case Encoding::Utf8From1252:
                AppendUtf8From1252(pending_, bytes);
                break;
        }
    }
    return pending_.size() < kPiece || WritePending();
}

bool ConsoleBuffer::PutRaw(std::string_view bytes) {
    if (failed_) return false;
    pending_ += bytes;
    return pending_.size() < kPiece || WritePending();
}

ConsoleBuffer::int_type ConsoleBuffer::RawBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return console_.PutRaw(std::string_view(&byte, 1)) ? c : traits_type::eof();
}

std::streamsize ConsoleBuffer::RawBuffer::xsputn(const char* s, std::streamsize n) {
    return console_.PutRaw(std::string_view(s, static_cast<size_t>(n))) ? n : 0;
}

bool ConsoleBuffer::WritePending() {
    if (failed_) return false;
    errno = 0;
    const bool written = std::fwrite(pending_.data(), 1, pending_.size(), file_) == pending_.size();
    pending_.clear();
    if (!written) {
        failed_ = true;
        error_ = errno;
    }
    return written;
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return Put(std::string_view(&byte, 1)) ? c : traits_type::eof();
}

std::streamsize ConsoleBuffer::xsputn(const char* s, std::streamsize n) {
    return Put(std::string_view(s, static_cast<size_t>(n))) ? n : 0;
}

int ConsoleBuffer::sync() {
    if (!WritePending()) return -1;
    errno = 0;
    if (std::fflush(file_) == 0) return 0;
    failed_ = true;
    error_ = errno;
    return -1;
}

}  // namespace bq::cli
