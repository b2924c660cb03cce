// Record encoding against an independent RFC 4180 reader and the plain
// reference encoder: whatever bytes the values hold, the output file reads
// back as the same (trimmed) rows, a value is quoted exactly when it holds a
// byte 0x00-0x20, '"' or ',', and bytes above 0x7F never force quotes. The
// first input byte separates values, the second separates rows, so every
// byte value can reach a value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "schema/text.h"
#include "tests/fuzz/rfc4180_reader.h"
#include "tests/reference_row.h"
#include "verify/record_builder.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

std::vector<std::string> Split(std::string_view s, char separator) {
    std::vector<std::string> parts;
    for (;;) {
        const size_t at = s.find(separator);
        parts.emplace_back(s.substr(0, at));
        if (at == std::string_view::npos) return parts;
        s.remove_prefix(at + 1);
    }
}

bool MustBeQuoted(std::string_view value) {
    for (char c : value)
        if (static_cast<unsigned char>(c) <= 0x20 || c == '"' || c == ',') return true;
    return false;
}

// A record of the form whose field codes and KEY flags come from each
// value's first byte, so any mix of defaults, supplied fields, rules and a
// TIN-type field is reached: its line must be the reference encoding of
// the whole row the builder holds.
void CheckMixedRecord(const std::vector<std::string>& values) {
    static constexpr std::string_view kCodes = "$cCTwDIN#";
    std::string codes, flags;
    for (const std::string& v : values) {
        const unsigned char b = v.empty() ? 0 : static_cast<unsigned char>(v[0]);
        codes += kCodes[b % kCodes.size()];
        flags += (b / kCodes.size()) % 2 ? '1' : '0';
    }
    bq::RecordBuilder record(codes, flags, 2018);
    record.StartRecord();
    size_t f = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (flags[i] == '1') record.Put(f++, values[i]);
    std::string line(record.MaxEncodedSize(), '\0');
    line.resize(static_cast<size_t>(record.Encode(line.data()) - line.data()));
    if (line != bq::test::EncodeRow(record.Row())) Fail("record line differs from the reference", line);
}

// Appends the free-text record of `values` to `output` as a line of the
// output file; returns the values as written.
std::vector<std::string> AppendFreeText(std::string& output, const std::vector<std::string>& values) {
    bq::RecordBuilder record(std::string(values.size(), '$'), std::string(values.size(), '1'), 2018);
    record.StartRecord();
    for (size_t f = 0; f < values.size(); ++f) record.Put(f, values[f]);
    const size_t at = output.size();
    output.resize(at + record.MaxEncodedSize());
    output.resize(static_cast<size_t>(record.Encode(output.data() + at) - output.data()));
    output += "\r\n";
    return record.Row();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const char valueSeparator = static_cast<char>(data[0]);
    const char rowSeparator = static_cast<char>(data[1]);
    const std::string_view body(reinterpret_cast<const char*>(data) + 2, size - 2);

    std::vector<std::vector<std::string>> rows;
    std::string bytes;
    for (const std::string& row : Split(body, rowSeparator)) {
        const auto given =
            valueSeparator == rowSeparator ? std::vector<std::string>{row} : Split(row, valueSeparator);
        CheckMixedRecord(given);
        rows.push_back(AppendFreeText(bytes, given));
    }
    for (const auto& values : rows) {
        const std::string line = bq::test::EncodeRow(values);
        const auto fields = bq::fuzz::ReadCsvLine(line);
        if (!fields) Fail("encoded row is not RFC 4180", line);
        if (fields->size() != values.size()) Fail("value count changed", line);
        for (size_t i = 0; i < values.size(); ++i) {
            const bq::fuzz::CsvField& f = (*fields)[i];
            if (f.value != values[i]) Fail("value changed", line);
            // The one exception: a row of a single empty value is "" so it is not an empty line.
            const bool expectQuoted = MustBeQuoted(values[i]) || (values.size() == 1 && values[i].empty());
            if (f.quoted != expectQuoted) Fail(f.quoted ? "quoted needlessly" : "left unquoted", line);
        }
    }

    const auto records = bq::fuzz::ReadCsv(bytes);
    if (!records || records->size() != rows.size()) Fail("file rows changed", bytes);
    for (size_t r = 0; r < rows.size(); ++r) {
        if ((*records)[r].size() != rows[r].size()) Fail("file value count changed", bytes);
        for (size_t i = 0; i < rows[r].size(); ++i)
            if ((*records)[r][i].value != rows[r][i]) Fail("file value changed", bytes);
    }
    return 0;
}
