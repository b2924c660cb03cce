// A strict RFC 4180 reader for the fuzz targets' oracles. It shares no code
// with the row encoder on purpose: an encoder fault cannot hide behind the
// same fault in the reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bq::fuzz {

struct CsvField {
    std::string value;
    bool quoted = false;
};

using CsvRecord = std::vector<CsvField>;

// The records of `text`, each ended by CR LF. Empty optional for anything
// RFC 4180 does not allow: a quote inside an unquoted field, bytes between a
// closing quote and the next separator, an unclosed quote, a lone CR or LF
// outside quotes, or a last record without its CR LF.
inline std::optional<std::vector<CsvRecord>> ReadCsv(std::string_view text) {
    std::vector<CsvRecord> records;
    size_t at = 0;
    while (at < text.size()) {
        CsvRecord record;
        for (;;) {
            CsvField field;
            if (at < text.size() && text[at] == '"') {
                field.quoted = true;
                for (++at;; ++at) {
                    if (at == text.size()) return std::nullopt;
                    if (text[at] != '"') {
                        field.value += text[at];
                        continue;
                    }
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        field.value += '"';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                    if (text[at] == '"') return std::nullopt;
                    field.value += text[at++];
                }
            }
            record.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (text.substr(at, 2) != "\r\n") return std::nullopt;
            at += 2;
            break;
        }
        records.push_back(std::move(record));
    }
    return records;
}

// The fields of one line given without its CR LF.
inline std::optional<CsvRecord> ReadCsvLine(std::string_view line) {
    auto records = ReadCsv(std::string(line) + "\r\n");
    if (!records || records->size() != 1) return std::nullopt;
    return std::move(records->front());
}

}  // namespace bq::fuzz
