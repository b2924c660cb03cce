// RFC 4180 exactly, for the fuzz targets' oracles: the system's one CSV
// reader with comma and CR LF, its faults as an empty optional. It shares no
// code with the row encoder, so an encoder fault cannot hide behind the same
// fault in the reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/csv_reader.h"
#include "platform/error.h"

namespace bq::fuzz {

using CsvField = bq::CsvField;
using CsvRecord = bq::CsvRecord;

// The records of `text`, each ended by CR LF; empty optional for anything
// RFC 4180 does not allow.
inline std::optional<std::vector<CsvRecord>> ReadCsv(std::string_view text) {
    try {
        std::vector<CsvRecord> records;
        bq::ForEachCsvRecord(text, {',', CsvBreaks::CrLf}, "oracle",
                             [&records](const CsvRecord& r) { records.push_back(r); });
        return records;
    } catch (const Error&) {
        return std::nullopt;
    }
}

// The fields of one line given without its CR LF.
inline std::optional<CsvRecord> ReadCsvLine(std::string_view line) {
    auto records = ReadCsv(std::string(line) + "\r\n");
    if (!records || records->size() != 1) return std::nullopt;
    return std::move(records->front());
}

}  // namespace bq::fuzz
