// Any bytes as a spreadsheet's CSV. Either they convert, or the conversion
// fails with an Error naming the CSV and a place in it; nothing else may
// escape. A converted extract must pass the extract reader's own rules: the
// FORM and KEY lines the template writes, one data area whose line count
// is the records times the named fields, every value a line of its own that
// trimming leaves as it is, and a verification that gets past its checks
// of the layout. The first input byte picks the form and the options.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "extract/csv_extract.h"
#include "extract/extract_format.h"
#include "extract/extract_lines.h"
#include "extract/extract_reader.h"
#include "platform/error.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "schema/text.h"
#include "verify/verification_session.h"

namespace {

constexpr std::string_view kSource = "fuzz.csv";

[[noreturn]] void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// "fuzz.csv:" then a row number, or a blank for the whole file.
bool IsPlacedMessage(std::string_view message) {
    const std::string prefix = std::string(kSource) + ":";
    if (message.substr(0, prefix.size()) != prefix || message.size() <= prefix.size() + 1) return false;
    const char next = message[prefix.size()];
    return next == ' ' || (bq::IsDigit(next) && next != '0');
}

void CheckExtract(const bq::CsvExtract& e, int form) {
    const std::string& bytes = e.bytes;
    if (bytes.find('\0') != std::string::npos) Fail("extract holds a NUL", bytes);
    const bq::ExtractLines lines(bytes);
    auto line = lines.begin();
    if (line == lines.end() || *line != bq::FormLine(bq::FormNames[static_cast<size_t>(form)]))
        Fail("FORM line", bytes);
    ++line;
    bq::KeyParts key;
    std::vector<bq::FieldDescriptor> fields;
    bq::GetFormFields(form, fields);
    if (line == lines.end() || bq::SplitKeyLine(*line, key) != bq::KeyLineStatus::Ok ||
        key.flags.size() != fields.size() || bq::SelectedFields(key.flags).size() != e.columns.size())
        Fail("KEY line", bytes);
    const bq::DataArea area = bq::FindDataArea(bq::ReadFromText(bytes));
    if (area.status != bq::DataAreaStatus::Found) Fail("no data area", bytes);
    if (area.lineCount != e.recordRows.size() * e.columns.size())
        Fail("data lines differ from the values", bytes);
    if ((*std::next(line)) != bq::kBeginDataMarker || area.beginLine != 3)
        Fail("{BEGIN DATA} is not line 3", bytes);
    const bq::ExtractLines values(std::string_view(bytes).substr(area.first, area.end - area.first));
    for (const std::string_view value : values)
        if (bq::Trim(value) != value) Fail("a value changes when trimmed", std::string(value));
    for (size_t r = 1; r <= e.recordRows.size(); ++r)
        for (size_t f = 1; f <= e.columns.size(); ++f) {
            const bq::CsvCell cell = e.CellOf(r, f);
            if (cell.row < 2 || cell.column < 1) Fail("a value placed outside the data rows", bytes);
        }
    bq::VerificationSession session;
    session.SetExtractFile("/data/fuzz.txt");
    session.LoadExtractText(bytes);
    bq::VerifyOptions options;
    options.currentYear = 2026;
    options.onProblem = [](const bq::ValueProblem&) {};
    try {
        session.Verify(options);
    } catch (const bq::Error& error) {
        Fail("verification rejected the layout", error.what());
    }
    if (session.OutputRowCount() != e.recordRows.size()) Fail("verification counted other records", bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned pick = data[0];
    const int form =
        bq::kFirstVisibleForm + static_cast<int>(pick % (bq::kFormCount - bq::kFirstVisibleForm));
    bq::CsvOptions options;
    if (pick & 0x40) options.delimiter = ";,\t|"[pick >> 7 | (pick & 1) << 1];
    if (pick & 0x20) options.encoding = pick & 0x10 ? bq::TextEncoding::Utf8 : bq::TextEncoding::Windows1252;
    const std::string_view csv(reinterpret_cast<const char*>(data) + 1, size - 1);
    bq::CsvExtract extract;
    try {
        extract = bq::ExtractFromCsv(csv, form, kSource, options);
    } catch (const bq::Error& error) {
        if (!IsPlacedMessage(error.what())) Fail("unplaced message", error.what());
        return 0;
    }
    CheckExtract(extract, form);
    return 0;
}
