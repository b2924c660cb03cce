// What bqdm tells about an extract's problems: one line per problem with
// its line, record, field and stable code, a hint below, and a summary; or
// the same as one JSON document.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "verify/verification_session.h"

namespace bq::cli {

// A failure that ends the check before or instead of the values: the
// layout of the extract, or a file that cannot be read.
struct Fault {
    std::string_view code;
    size_t line = 0;      // 0: none
    std::string message;  // the system's whole message
    std::string text;     // what it says, without naming the extract
    std::string hint;
};

class ProblemReport {
  public:
    // Keeps the first `keep` problems for showing (0: all); all are counted.
    ProblemReport(std::string extract, size_t keep) : extract_(std::move(extract)), keep_(keep) {}

    void Add(const ValueProblem& problem);
    void SetFault(Fault fault) { fault_ = std::move(fault); }
    void SetOutcome(std::string form, size_t records) { form_ = std::move(form), records_ = records; }

    size_t Errors() const { return errorCount_; }
    size_t Warnings() const { return warningCount_; }
    bool HasFault() const { return fault_.has_value(); }

    // Every kept problem as text lines, then "and N more" and the counts per field when some were left out.
    void WriteProblems(std::ostream& out) const;
    // The fault, if any, as a text line with its hint.
    void WriteFault(std::ostream& out) const;
    // The counts of errors and warnings, and per code.
    void WriteSummary(std::ostream& out) const;
    // The whole report as one JSON document, `valid` as given.
    void WriteJson(std::ostream& out, bool valid) const;

  private:
    std::string extract_, form_;
    size_t keep_;
    size_t records_ = 0;
    std::optional<Fault> fault_;
    std::vector<ValueProblem> kept_;
    size_t errorCount_ = 0, warningCount_ = 0;
    std::map<std::string_view, size_t> perCode_;
    std::map<int, std::pair<size_t, size_t>> perField_;  // errors and warnings by field index
    std::map<int, std::string> captions_;
};

}  // namespace bq::cli
