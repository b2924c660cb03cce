#include "cli/json.h"

#include "schema/windows1252.h"
#include "shell/messages.h"
#include "verify/problems.h"

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

void JsonWriter::String(std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ << '"';
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out_ << '\\' << ch;
        } else if (c < 0x20 || c > 0x7E) {
            const char32_t cp = CodePointOf1252(c);
            out_ << "\\u" << kHex[cp >> 12] << kHex[(cp >> 8) & 15] << kHex[(cp >> 4) & 15] << kHex[cp & 15];
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

void WriteProblemMembers(JsonWriter& json, const ValueProblem& p, std::string_view extract) {
    json.Member("record", p.record);
    if (p.fieldOrdinal) {
        json.Member("field", p.fieldOrdinal);
        json.Member("fieldIndex", static_cast<size_t>(p.fieldIndex));
        json.Member("caption", p.caption);
    } else {
        for (std::string_view name : {"field", "fieldIndex", "caption"}) json.Null(name);
    }
    json.Member("value", p.rawValue);
    json.Member("code", p.code);
    json.Member("message", p.error ? DisplayedMessage(RejectionMessage(extract, p)) : p.remark);
    json.Member("hint", p.hint);
}

}  // namespace bq::cli
