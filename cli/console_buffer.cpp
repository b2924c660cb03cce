#include "cli/console_buffer.h"

#include <cerrno>

#include "schema/windows1252.h"

namespace bq::cli {
namespace {

// Bytes are handed to the C library in pieces of about this size.
constexpr size_t kPiece = 1 << 16;

}  // namespace

bool ConsoleBuffer::Put(std::string_view bytes) {
    if (failed_) return false;
    switch (encoding_) {
        case Encoding::AsIs:
            pending_ += bytes;
            break;
        case Encoding::Utf8From1252:
            AppendUtf8From1252(pending_, bytes);
            break;
    }
    return pending_.size() < kPiece || WritePending();
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
