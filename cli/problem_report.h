// What bqdm tells about an extract's problems: one line per problem with
// its line, record, field and stable code, a hint below, and a summary; or
// the same as one JSON document.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
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

// How the report is written.
enum class ReportFormat { Text, Json };

class ProblemReport {
  public:
    // Keeps the first `keep` problems for showing (0: all); all are counted.
    // With every problem kept, each is rendered as it comes and put aside in
    // a temporary file, so that memory stays flat at any number of them.
    ProblemReport(std::string extract, size_t keep, ReportFormat format = ReportFormat::Text)
        : extract_(std::move(extract)), keep_(keep), format_(format) {}

    void Add(const ValueProblem& problem);
    void SetFault(Fault fault) { fault_ = std::move(fault); }
    void SetOutcome(std::string form, size_t records) { form_ = std::move(form), records_ = records; }

    size_t Errors() const { return errorCount_; }
    size_t Warnings() const { return warningCount_; }
    bool HasFault() const { return fault_.has_value(); }

    // Every kept problem as text lines, then "and N more" and the counts per field when some were left out.
    void WriteProblems(std::ostream& out);
    // The fault, if any, as a text line with its hint.
    void WriteFault(std::ostream& out) const;
    // The counts of errors and warnings, and per code.
    void WriteSummary(std::ostream& out) const;
    // The whole report as one JSON document, `valid` as given.
    void WriteJson(std::ostream& out, bool valid);

  private:
    // Problems rendered in the report's format, put aside as they come.
    class Rendered {
      public:
        explicit Rendered(std::string_view separator) : separator_(separator) {}
        void Add(std::string_view element);
        bool Empty() const { return count_ == 0; }
        // Writes the elements in order, each pair split by the separator; once.
        void WriteTo(std::ostream& out);

      private:
        std::string_view separator_;
        std::string pending_;
        std::unique_ptr<SpoolFile> spool_;
        size_t count_ = 0;
    };
    void Render(const ValueProblem& problem);

    std::string extract_, form_;
    size_t keep_;
    ReportFormat format_;
    Rendered lines_{""};                    // text: every problem's lines
    Rendered errors_{","}, warnings_{","};  // JSON: the objects of either array
    size_t records_ = 0;
    std::optional<Fault> fault_;
    std::vector<ValueProblem> kept_;
    size_t errorCount_ = 0, warningCount_ = 0;
    std::map<std::string_view, size_t> perCode_;
    std::map<int, std::pair<size_t, size_t>> perField_;  // errors and warnings by field index
    std::map<int, std::string> captions_;
};

}  // namespace bq::cli
