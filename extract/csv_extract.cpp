#include "extract/csv_extract.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "extract/csv_reader.h"
#include "extract/extract_format.h"
#include "platform/error.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "schema/text.h"

namespace bq {
namespace {

// How many captions a header that names no field is offered.
constexpr size_t kClosestCaptions = 3;
// Headers are compared for closeness on this many characters at most, so
// no distance reaches it.
constexpr size_t kComparedLength = 100;

// A header or caption as headers are compared: lower case, without leading
// and trailing blanks, each run of blanks inside one blank.
std::string HeaderKey(std::string_view text) {
    std::string key;
    bool blank = false;
    for (char c : Trim(text)) {
        if (IsTrimmable(c)) {
            blank = true;
            continue;
        }
        if (blank) key += ' ';
        blank = false;
        key += ToLowerAscii(c);
    }
    return key;
}

// Built by appending: GCC 12 warns wrongly (-Wrestrict) about a literal
// put before a string.
// A NUL byte is shown as \0: a message is a C string where it is shown,
// and would end there.
std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    for (const char c : text) {
        if (c == '\0')
            quoted += "\\0";
        else
            quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string At(std::string_view source, size_t row, size_t column) {
    return std::string(source) + ":" + std::to_string(row) + ":" + std::to_string(column);
}

// The columns of the header row and the fields they name.
class Header {
  public:
    Header(int formIndex, std::string_view source, TextEncoding encoding, const CsvRecord& row)
        : formIndex_(formIndex), source_(source) {
        std::vector<FieldDescriptor> fields;
        GetFormFields(formIndex, fields);
        for (const FieldDescriptor& d : fields) {
            captions_.emplace_back(CaptionOf(d));
            keys_.push_back(HeaderKey(CaptionOf(d)));
        }
        columnField_.assign(row.size(), -1);
        std::vector<size_t> columnOf(captions_.size(), 0);
        for (size_t c = 0; c < row.size(); ++c) {
            const std::string text(Trim(ToWindows1252(row[c].value, encoding, At(source, 1, c + 1))));
            headers_.push_back(text);
            if (text.empty()) continue;
            const int field = FieldNamed(c + 1, text);
            if (columnOf[static_cast<size_t>(field)] != 0)
                throw Error(At(source, 1, c + 1) + " " + Quoted(text) + ": the field " +
                            Quoted(captions_[static_cast<size_t>(field)]) + " is already column " +
                            std::to_string(columnOf[static_cast<size_t>(field)]));
            columnOf[static_cast<size_t>(field)] = c + 1;
            columnField_[c] = field;
        }
        for (size_t f = 0; f < columnOf.size(); ++f)
            if (columnOf[f] != 0) fieldColumns_.push_back(columnOf[f]);
        if (fieldColumns_.empty())
            throw Error(std::string(source) + ":1: the first row names no field of " +
                        std::string(FormNames[static_cast<size_t>(formIndex)]) +
                        "; it must hold the fields' captions");
    }

    // The CSV column of each named field, in field-index order.
    const std::vector<size_t>& FieldColumns() const { return fieldColumns_; }
    const std::string& Text(size_t column) const { return headers_[column - 1]; }
    // True when column `column` (from 1) names a field.
    bool Names(size_t column) const { return column <= columnField_.size() && columnField_[column - 1] >= 0; }
    std::vector<bool> Ticks() const {
        std::vector<bool> ticks(captions_.size(), false);
        for (int field : columnField_)
            if (field >= 0) ticks[static_cast<size_t>(field)] = true;
        return ticks;
    }

  private:
    int FieldNamed(size_t column, const std::string& text) const {
        const std::string_view form = FormNames[static_cast<size_t>(formIndex_)];
        if (text.size() > 1 && text[0] == '#' && IsAllDigits(text.substr(1))) {
            const std::string digits = text.substr(1);
            if (digits.size() <= 3 && std::stoul(digits) < captions_.size()) return std::stoi(digits);
            throw Error(At(source_, 1, column) + " " + Quoted(text) + ": " + std::string(form) +
                        " has the field indexes #0 to #" + std::to_string(captions_.size() - 1));
        }
        const std::string key = HeaderKey(text);
        for (size_t f = 0; f < keys_.size(); ++f)
            if (keys_[f] == key) return static_cast<int>(f);
        throw Error(At(source_, 1, column) + " " + Quoted(text) + ": no field of " + std::string(form) +
                    " has this caption; the closest are " + ClosestCaptions(key));
    }

    std::string ClosestCaptions(const std::string& key) const {
        // A caption holding the header, as a shortened header is, comes
        // first; then the fewest edits.
        std::vector<size_t> distance(keys_.size()), order(keys_.size());
        for (size_t f = 0; f < keys_.size(); ++f)
            distance[f] = EditDistance(std::string_view(key).substr(0, kComparedLength), keys_[f]) +
                          (keys_[f].find(key) == std::string::npos ? kComparedLength : 0);
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return distance[a] < distance[b]; });
        order.resize(std::min(order.size(), kClosestCaptions));
        std::string list;
        for (size_t i = 0; i < order.size(); ++i)
            list += (i == 0 ? "" : i + 1 == order.size() ? " and " : ", ") + Quoted(captions_[order[i]]);
        return list;
    }

    int formIndex_;
    std::string_view source_;
    std::vector<std::string> captions_, keys_, headers_;
    std::vector<int> columnField_;  // the field each column names, or -1
    std::vector<size_t> fieldColumns_;
};

bool IsEmptyRow(const CsvRecord& row) {
    return std::all_of(row.begin(), row.end(), [](const CsvField& f) { return Trim(f.value).empty(); });
}

// `value` as an extract line; throws where the extract cannot carry it.
std::string_view CarriedValue(std::string_view value, const std::string& where) {
    const std::string_view line = Trim(value);
    if (std::any_of(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }))
        throw Error(where + ": a value cannot hold a line break");
    if (line.find('\0') != std::string_view::npos) throw Error(where + ": a value cannot hold a NUL byte");
    if (EqualsIgnoringCase(line, kBeginDataMarker) || EqualsIgnoringCase(line, kEndDataMarker))
        throw Error(where + ": a value cannot be " + Quoted(line) +
                    ", which an extract takes for its marker");
    return line;
}

}  // namespace

CsvExtract ExtractFromCsv(std::string_view csv, int formIndex, std::string_view source,
                          const CsvOptions& options) {
    // UTF-16 (a spreadsheet's "Unicode" save) holds a NUL in every other
    // byte of Western text: told as such, not as a header of NULs.
    if (csv.substr(0, 2) == "\xFF\xFE" || csv.substr(0, 2) == "\xFE\xFF")
        throw Error(At(source, 1, 1) +
                    ": the file is UTF-16 text, which an extract cannot hold; save it as CSV in UTF-8 or "
                    "Windows-1252");
    const TextEncoding encoding = options.encoding.value_or(DetectEncoding(csv));
    if (encoding == TextEncoding::Utf8 && csv.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        csv.remove_prefix(kUtf8Bom.size());
    const CsvDialect dialect{options.delimiter.value_or(DetectDelimiter(csv)), CsvBreaks::Any};
    CsvExtract extract;
    std::optional<Header> header;
    size_t r = 0;  // the row being read, from 1
    ForEachCsvRecord(csv, dialect, source, [&](const CsvRecord& row) {
        if (++r == 1) {
            header.emplace(formIndex, source, encoding, row);
            extract.columns = header->FieldColumns();
            for (size_t column : extract.columns) extract.headers.push_back(header->Text(column));
            extract.bytes = FormLine(FormNames[static_cast<size_t>(formIndex)]) + "\r\n" +
                            KeyLine(FlagsOf(header->Ticks())) + "\r\n" + std::string(kBeginDataMarker) +
                            "\r\n";
            return;
        }
        if (IsEmptyRow(row)) {
            extract.skippedRows.push_back(r);
            return;
        }
        for (size_t c = 0; c < row.size(); ++c)
            if (!header->Names(c + 1) && !Trim(row[c].value).empty())
                throw Error(At(source, r, c + 1) + ": this column has no header, yet it holds a value");
        for (size_t f = 0; f < extract.columns.size(); ++f) {
            const size_t column = extract.columns[f];
            const std::string where = At(source, r, column) + " " + Quoted(extract.headers[f]);
            const std::string value =
                column <= row.size() ? ToWindows1252(row[column - 1].value, encoding, where) : std::string();
            extract.bytes += CarriedValue(value, where);
            extract.bytes += "\r\n";
        }
        extract.recordRows.push_back(r);
    });
    if (!header)
        throw Error(std::string(source) + ": the file is empty; its first row must name the columns");
    extract.bytes += std::string(kEndDataMarker) + "\r\n";
    return extract;
}

std::string CsvHeaderRow(int formIndex, const std::vector<bool>& ticked) {
    std::vector<FieldDescriptor> fields;
    GetFormFields(formIndex, fields);
    std::string row;
    for (size_t i = 0; i < fields.size() && i < ticked.size(); ++i)
        if (ticked[i]) {
            if (!row.empty()) row += ',';
            row += CsvFieldText(CaptionOf(fields[i]), ',');
        }
    return row + "\r\n";
}

}  // namespace bq
