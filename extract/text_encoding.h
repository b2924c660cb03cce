// The encodings a spreadsheet writes its CSV in, and their conversion to the
// Windows-1252 bytes an extract holds.
#pragma once

#include <string>
#include <string_view>

namespace bq {

enum class TextEncoding { Utf8, Windows1252 };

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// UTF-8 when `bytes` begin with its byte order mark or are well-formed UTF-8
// throughout, Windows-1252 otherwise.
TextEncoding DetectEncoding(std::string_view bytes);

// `text` in Windows-1252; Windows-1252 text is returned as it is. Throws
// Error "<where>: ..." naming the first character that Windows-1252 cannot
// hold, or the first byte that is not UTF-8.
std::string ToWindows1252(std::string_view text, TextEncoding encoding, std::string_view where);

}  // namespace bq
