// Comma-separated values as RFC 4180 lays them out and spreadsheets write
// them: a record a line, fields split by a delimiter, and a field in double
// quotes that may hold the delimiter, line breaks and doubled quotes. Bytes
// are never transcoded; the delimiter and quotes are ASCII, so UTF-8 and
// Windows-1252 text read alike.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace bq {

struct CsvField {
    std::string value;
    bool quoted = false;  // it was written in double quotes
};

using CsvRecord = std::vector<CsvField>;

// Which line breaks end a record.
enum class CsvBreaks {
    CrLf,  // RFC 4180 exactly: every record, the last one too, ends in CR LF
    Any,   // as spreadsheets write them: CR LF, LF or CR; the last break optional
};

struct CsvDialect {
    char delimiter = ',';
    CsvBreaks breaks = CsvBreaks::CrLf;
};

// The records of `text`, one at a time, in order, so that a large file is
// never held as records: `take` gets each as it is read. Throws Error
// "<source>:<row>:<column>: <fault>" (counted from 1, a row being a record)
// at the first thing the dialect does not allow: a quote inside an unquoted
// field, text after a closing quote, an unclosed quote, or, with
// CsvBreaks::CrLf, a lone CR or LF outside quotes or a last record without
// its CR LF.
void ForEachCsvRecord(std::string_view text, const CsvDialect& dialect, std::string_view source,
                      const std::function<void(const CsvRecord&)>& take);

// The delimiter of `text` told from its first record: whichever of ',', ';'
// and tab occurs most often outside quotes, in that order on a tie; ','
// when none occurs.
char DetectDelimiter(std::string_view text);

// `value` as one CSV field: in double quotes, its quotes doubled, when it
// holds the delimiter, a quote, a line break or a leading or trailing blank.
std::string CsvFieldText(std::string_view value, char delimiter);

}  // namespace bq
