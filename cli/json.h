// A minimal streaming JSON writer for bqdm's reports. Extract bytes are
// Windows-1252 text, so bytes above 0x7E are written as the \uXXXX escape
// of their Windows-1252 reading and the document is always valid ASCII.
#pragma once

#include <cstddef>
#include <ostream>
#include <string_view>

namespace bq {
struct ValueProblem;
}

namespace bq::cli {

class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    void BeginObject();
    // Opens an object member of the current object.
    void BeginObject(std::string_view name);
    void EndObject();
    // Opens an array member of the current object.
    void BeginArray(std::string_view name);
    void EndArray();
    void Member(std::string_view name, std::string_view value);
    void Member(std::string_view name, const char* value) { Member(name, std::string_view(value)); }
    void Member(std::string_view name, size_t value);
    void Member(std::string_view name, bool value);
    void Null(std::string_view name);
    // Starts an element of the current array whose text the caller writes
    // to the stream itself, already rendered (elements of its own separated by ',').
    void BeginRendered() { Separator(); }

  private:
    void Separator();
    void Name(std::string_view name);
    void String(std::string_view s);

    std::ostream& out_;
    bool first_ = true;
};

// The members of a value's problem as every report writes them, from
// "record" to "hint"; `extract` names the extract in a bad value's message.
void WriteProblemMembers(JsonWriter& json, const ValueProblem& problem, std::string_view extract);

}  // namespace bq::cli
