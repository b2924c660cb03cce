#include "cli/problem_report.h"

#include "cli/json.h"
#include "schema/text.h"
#include "shell/messages.h"

namespace bq::cli {
namespace {

// Values longer than this are cut in text lines, so one huge value cannot flood a terminal.
constexpr size_t kShownValue = 60;

std::string Shown(std::string_view value) {
    if (value.size() <= kShownValue) return std::string(value);
    return std::string(value.substr(0, kShownValue)) + "...";
}

// What is wrong: "invalid TIN", or what a warning tells.
std::string_view ProblemText(const ValueProblem& p) { return p.error ? p.rejected : p.remark; }

}  // namespace

void ProblemReport::Add(const ValueProblem& problem) {
    ++(problem.error ? errorCount_ : warningCount_);
    ++perCode_[problem.code];
    auto& field = perField_[problem.fieldIndex];
    ++(problem.error ? field.first : field.second);
    if (!captions_.count(problem.fieldIndex)) captions_.emplace(problem.fieldIndex, problem.caption);
    if (keep_ == 0 || kept_.size() < keep_) kept_.push_back(problem);
}

void ProblemReport::WriteProblems(std::ostream& out) const {
    for (const ValueProblem& p : kept_) {
        out << extract_ << ':' << p.line << ": " << (p.error ? "error" : "warning") << ": record "
            << p.record;
        if (p.fieldOrdinal) out << " field " << p.fieldOrdinal << " \"" << p.caption << '"';
        out << ": " << ProblemText(p);
        if (!p.rawValue.empty() || p.error) out << " \"" << Shown(p.rawValue) << '"';
        out << " [" << p.code << "]\n";
        if (!p.hint.empty()) out << "    " << p.hint << "\n";
    }
    const size_t left = errorCount_ + warningCount_ - kept_.size();
    if (left == 0) return;
    out << "and " << left << " more; per field:\n";
    for (const auto& [index, counts] : perField_) {
        out << "  ";
        if (index < 0)
            out << "whole records";
        else
            out << "field " << index << " \"" << captions_.at(index) << '"';
        out << ": " << counts.first << (counts.first == 1 ? " error, " : " errors, ") << counts.second
            << (counts.second == 1 ? " warning\n" : " warnings\n");
    }
}

void ProblemReport::WriteFault(std::ostream& out) const {
    if (!fault_) return;
    out << extract_;
    if (fault_->line) out << ':' << fault_->line;
    // The system's message on one line: its breaks add nothing here.
    const std::string_view whole = fault_->text;
    std::string message;
    for (size_t i = 0; i < whole.size(); ++i) {
        const bool isBreak = whole[i] == '\r' || whole[i] == '\n';
        if (!isBreak)
            message += whole[i];
        else if (i == 0 || (whole[i - 1] != '\r' && whole[i - 1] != '\n'))
            message += ' ';
    }
    out << ": error: " << message << " [" << fault_->code << "]\n";
    if (!fault_->hint.empty()) out << "    " << fault_->hint << "\n";
}

void ProblemReport::WriteSummary(std::ostream& out) const {
    const size_t errors = errorCount_ + (fault_ ? 1 : 0);
    out << errors << (errors == 1 ? " error, " : " errors, ") << warningCount_
        << (warningCount_ == 1 ? " warning" : " warnings") << " in " << extract_ << "\n";
    if (fault_) out << "  " << fault_->code << ": 1\n";
    for (const auto& [code, count] : perCode_) out << "  " << code << ": " << count << "\n";
}

void ProblemReport::WriteJson(std::ostream& out, bool valid) const {
    JsonWriter json(out);
    json.BeginObject();
    json.Member("schema", size_t{1});
    json.Member("extract", extract_);
    json.Member("form", form_);
    json.Member("records", records_);
    json.Member("valid", valid);
    json.BeginArray("errors");
    if (fault_) {
        json.BeginObject();
        if (fault_->line)
            json.Member("line", fault_->line);
        else
            json.Null("line");
        for (std::string_view name : {"record", "field", "fieldIndex", "caption", "value"}) json.Null(name);
        json.Member("code", fault_->code);
        json.Member("message", DisplayedMessage(fault_->message));
        json.Member("hint", fault_->hint);
        json.EndObject();
    }
    for (const bool errors : {true, false}) {
        if (!errors) json.BeginArray("warnings");
        for (const ValueProblem& p : kept_) {
            if (p.error != errors) continue;
            json.BeginObject();
            json.Member("line", p.line);
            WriteProblemMembers(json, p, extract_);
            json.EndObject();
        }
        json.EndArray();
    }
    json.BeginObject("counts");
    if (fault_) json.Member(fault_->code, size_t{1});
    for (const auto& [code, count] : perCode_) json.Member(code, count);
    json.EndObject();
    json.EndObject();
    out << "\n";
}

}  // namespace bq::cli
