#include "verify/problems.h"

namespace bq {

std::string ExtractLine(std::string_view extract) { return "EXTRACT = " + std::string(extract); }

std::string MapsText(const ValueProblem& problem) {
    return "maps to an " + std::string(problem.rejected) + " \"" + problem.rawValue + "\"";
}

std::string RejectionMessage(std::string_view extract, const ValueProblem& problem) {
    return ExtractLine(extract) + "\r\n\r\nRecord # " + std::to_string(problem.record) + ", Field # " +
           std::to_string(problem.fieldOrdinal) + "\r\nDestination field \"" + problem.caption + "\" " +
           MapsText(problem);
}

ExtractError::ExtractError(std::string text, std::string_view extract, std::string_view code, size_t line,
                           std::string hint)
    : Error(text + "\r\n\r\n" + ExtractLine(extract)),
      text(std::move(text)),
      code(code),
      line(line),
      hint(std::move(hint)) {}

}  // namespace bq
