#include "extract/csv_reader.h"

#include <algorithm>

#include "platform/error.h"

namespace bq {
namespace {

class Reader {
  public:
    Reader(std::string_view text, const CsvDialect& dialect, std::string_view source)
        : text_(text), dialect_(dialect), source_(source) {}

    void ForEach(const std::function<void(const CsvRecord&)>& take) {
        CsvRecord record;
        for (size_t row = 1; at_ < text_.size(); ++row) {
            record.clear();
            ReadRecord(row, record);
            take(record);
        }
    }

  private:
    void ReadRecord(size_t row, CsvRecord& record) {
        for (;;) {
            const size_t column = record.size() + 1;
            record.push_back(ReadField(row, column));
            if (at_ < text_.size() && text_[at_] == dialect_.delimiter) {
                ++at_;
                continue;
            }
            if (at_ == text_.size()) {
                if (dialect_.breaks == CsvBreaks::CrLf)
                    throw Fault(row, column, "the last row does not end in CR LF");
                return;
            }
            if (text_.substr(at_, 2) == "\r\n") {
                at_ += 2;
                return;
            }
            if (text_[at_] == '\r' || text_[at_] == '\n') {
                if (dialect_.breaks == CsvBreaks::CrLf)
                    throw Fault(row, column, "a line break other than CR LF");
                ++at_;
                return;
            }
            throw Fault(row, column, "text after the closing quote");
        }
    }

    CsvField ReadField(size_t row, size_t column) {
        CsvField field;
        if (at_ < text_.size() && text_[at_] == '"') {
            field.quoted = true;
            for (++at_;; ++at_) {
                if (at_ == text_.size()) throw Fault(row, column, "the quoted value is never closed");
                if (text_[at_] != '"') {
                    field.value += text_[at_];
                } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                    field.value += '"';
                    ++at_;
                } else {
                    ++at_;
                    return field;
                }
            }
        }
        const size_t from = at_;
        while (at_ < text_.size() && text_[at_] != dialect_.delimiter && text_[at_] != '\r' &&
               text_[at_] != '\n') {
            if (text_[at_] == '"')
                throw Fault(
                    row, column,
                    "a quote inside a value that is not quoted (quote the value and double the quote)");
            ++at_;
        }
        field.value = text_.substr(from, at_ - from);
        return field;
    }

    Error Fault(size_t row, size_t column, std::string_view what) const {
        return Error(std::string(source_) + ":" + std::to_string(row) + ":" + std::to_string(column) + ": " +
                     std::string(what));
    }

    std::string_view text_;
    CsvDialect dialect_;
    std::string_view source_;
    size_t at_ = 0;
};

}  // namespace

void ForEachCsvRecord(std::string_view text, const CsvDialect& dialect, std::string_view source,
                      const std::function<void(const CsvRecord&)>& take) {
    Reader(text, dialect, source).ForEach(take);
}

char DetectDelimiter(std::string_view text) {
    size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (commas >= semicolons && commas >= tabs) return ',';
    return semicolons >= tabs ? ';' : '\t';
}

std::string CsvFieldText(std::string_view value, char delimiter) {
    const bool blankEdge = !value.empty() && (value.front() == ' ' || value.back() == ' ');
    const auto special = [delimiter](char c) { return c == delimiter || c == '"' || c == '\r' || c == '\n'; };
    if (!blankEdge && std::none_of(value.begin(), value.end(), special)) return std::string(value);
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace bq
