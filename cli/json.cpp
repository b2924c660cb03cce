#include "cli/json.h"

namespace bq::cli {

void JsonWriter::Separator() {
    if (!first_) out_ << ',';
    first_ = false;
}

void JsonWriter::Name(std::string_view name) {
    Separator();
    String(name);
    out_ << ':';
}

namespace {

// The characters of Windows-1252 at 0x80-0x9F; its five unassigned bytes
// keep the C1 control of the same number, as Windows itself maps them.
constexpr unsigned short kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void JsonWriter::String(std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ << '"';
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out_ << '\\' << ch;
        } else if (c < 0x20 || c > 0x7E) {
            const unsigned u = c >= 0x80 && c < 0xA0 ? kWindows1252High[c - 0x80] : c;
            out_ << "\\u" << kHex[u >> 12] << kHex[(u >> 8) & 15] << kHex[(u >> 4) & 15] << kHex[u & 15];
        } else {
            out_ << ch;
        }
    }
    out_ << '"';
}

void JsonWriter::BeginObject() {
    Separator();
    out_ << '{';
    first_ = true;
}

void JsonWriter::BeginObject(std::string_view name) {
    Name(name);
    out_ << '{';
    first_ = true;
}

void JsonWriter::EndObject() {
    out_ << '}';
    first_ = false;
}

void JsonWriter::BeginArray(std::string_view name) {
    Name(name);
    out_ << '[';
    first_ = true;
}

void JsonWriter::EndArray() {
    out_ << ']';
    first_ = false;
}

void JsonWriter::Member(std::string_view name, std::string_view value) {
    Name(name);
    String(value);
}

void JsonWriter::Member(std::string_view name, size_t value) {
    Name(name);
    out_ << value;
}

void JsonWriter::Member(std::string_view name, bool value) {
    Name(name);
    out_ << (value ? "true" : "false");
}

void JsonWriter::Null(std::string_view name) {
    Name(name);
    out_ << "null";
}

}  // namespace bq::cli
