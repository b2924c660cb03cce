// A spreadsheet's CSV as a data extract. The first row names the columns,
// each by a field's caption (ignoring letter case and runs of blanks) or by
// "#" and the field index; every later row is one record. The extract
// supplies the named fields, in field-index order like the template.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/text_encoding.h"

namespace bq {

struct CsvOptions {
    std::optional<char> delimiter;         // told from the header row when not given
    std::optional<TextEncoding> encoding;  // told from the bytes when not given
};

// A cell of the CSV, its row and column counted from 1.
struct CsvCell {
    size_t row;
    size_t column;
};

// The extract made from a CSV and the way back from it to the CSV.
struct CsvExtract {
    std::string bytes;                 // the extract: Windows-1252, CR LF line breaks
    std::vector<size_t> recordRows;    // the CSV row of each record
    std::vector<size_t> columns;       // the CSV column of each supplied field, in field-index order
    std::vector<std::string> headers;  // the header of each of those columns, trimmed, in Windows-1252
    std::vector<size_t> skippedRows;   // the rows left out for being empty

    // Where value `fieldOrdinal` of record `record` (both from 1, as
    // verification counts them) stands in the CSV.
    CsvCell CellOf(size_t record, size_t fieldOrdinal) const {
        return {recordRows[record - 1], columns[fieldOrdinal - 1]};
    }
};

// The extract of form `formIndex` from `csv`, the bytes of a CSV file.
// Throws Error "<source>:<row>:<column> ...: <fault>" at the first header
// that names no field or a field already named, value in a column without a
// header, character Windows-1252 cannot hold, value holding a line break or
// equal to a data marker, or fault of the CSV's own syntax.
CsvExtract ExtractFromCsv(std::string_view csv, int formIndex, std::string_view source,
                          const CsvOptions& options = {});

// The first row of a spreadsheet for form `formIndex`: the captions of the
// ticked fields in field-index order, as CSV ended by CR LF.
std::string CsvHeaderRow(int formIndex, const std::vector<bool>& ticked);

}  // namespace bq
