// Windows-1252, the code page of captions and extract values, read as
// Unicode for JSON and for a UTF-8 terminal.
#pragma once

#include <string>
#include <string_view>

namespace bq {

// The code point of a Windows-1252 byte. The five bytes the code page leaves
// undefined map to the C1 controls of the same value, as Windows maps them.
char32_t CodePointOf1252(unsigned char byte);

// Appends Windows-1252 `text` to `out` as UTF-8.
void AppendUtf8From1252(std::string& out, std::string_view text);

}  // namespace bq
