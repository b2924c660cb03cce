// What goes wrong in an extract, carried as its parts: the layout faults
// and the bad or quietly changed values. The system's messages are composed
// from the parts here and nowhere else; tools build their own forms from
// the same parts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace bq {

// "EXTRACT = " and the extract's path: how every message names the extract.
std::string ExtractLine(std::string_view extract);

// A bad value, or a value its rule changed or dropped quietly (a warning).
struct ValueProblem {
    bool error;           // a bad value; otherwise a warning
    size_t line;          // the 1-based line of the extract
    size_t record;        // 1-based record number
    size_t fieldOrdinal;  // 1-based position of the value within its record; 0 for the whole record
    int fieldIndex;       // the field's index in the form; -1 for the whole record
    std::string caption;
    std::string rawValue;       // the extract line as read
    std::string_view code;      // stable: "invalid-tin", "date-serial", ...
    std::string_view rejected;  // for a bad value what it is: "invalid TIN"
    std::string remark;         // for a warning what happened
    std::string hint;           // the likely fix in one line; may be empty
};

// The last line of the message of a bad value: "maps to an invalid TIN "1"".
std::string MapsText(const ValueProblem& problem);

// The system's message for the bad value `problem` of the extract `extract`.
std::string RejectionMessage(std::string_view extract, const ValueProblem& problem);

// A fault of the extract's layout: the system's message (what() holds it
// whole, naming the extract), and for tools its text alone, a stable code,
// the line it concerns (0: none) and a hint.
class ExtractError : public Error {
  public:
    ExtractError(std::string text, std::string_view extract, std::string_view code, size_t line,
                 std::string hint);
    std::string text;  // the message without the extract's line
    std::string_view code;
    size_t line;
    std::string hint;
};

}  // namespace bq
