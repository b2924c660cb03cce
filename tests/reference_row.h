// The merge output's line format written the plain way, byte by byte: the
// reference the fast record encoding is checked against.
#pragma once

#include <string>
#include <vector>

namespace bq::test {

inline std::string EncodeRow(const std::vector<std::string>& values) {
    if (values.size() == 1 && values[0].empty()) return "\"\"";
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) line += ',';
        bool quoted = false;
        for (char c : values[i]) quoted |= static_cast<unsigned char>(c) <= 0x20 || c == '"' || c == ',';
        if (!quoted) {
            line += values[i];
            continue;
        }
        line += '"';
        for (char c : values[i]) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

}  // namespace bq::test
