#include "cli/problem_report.h"

#include <sstream>

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

// Rendered problems beyond this many bytes go to the temporary file.
constexpr size_t kPendingBytes = size_t{1} << 20;

// A problem's lines: where, what and the hint.
void WriteLines(std::ostream& out, std::string_view extract, const ValueProblem& p) {
    out << extract << ':' << p.line << ": " << (p.error ? "error" : "warning") << ": record " << p.record;
    if (p.fieldOrdinal) out << " field " << p.fieldOrdinal << " \"" << p.caption << '"';
    out << ": " << ProblemText(p);
    if (!p.rawValue.empty() || p.error) out << " \"" << Shown(p.rawValue) << '"';
    out << " [" << p.code << "]\n";
    if (!p.hint.empty()) out << "    " << p.hint << "\n";
}

// A problem's JSON object.
void WriteObject(JsonWriter& json, std::string_view extract, const ValueProblem& p) {
    json.BeginObject();
    json.Member("line", p.line);
    WriteProblemMembers(json, p, extract);
    json.EndObject();
}

}  // namespace

void ProblemReport::Rendered::Add(std::string_view element) {
    if (count_++ > 0) pending_ += separator_;
    pending_ += element;
    if (pending_.size() < kPendingBytes) return;
    if (!spool_) spool_ = std::make_unique<SpoolFile>();
    spool_->Append(pending_);
    pending_.clear();
}

void ProblemReport::Rendered::WriteTo(std::ostream& out) {
    if (spool_) {
        const std::unique_ptr<InputFile> file = spool_->Read("(report)");
        spool_.reset();
        constexpr size_t kPiece = size_t{1} << 16;
        const std::unique_ptr<char[]> piece(new char[kPiece]);
        for (std::uint64_t at = 0;;) {
            const size_t got = file->ReadAt(at, piece.get(), kPiece);
            if (got == 0) break;
            out.write(piece.get(), static_cast<std::streamsize>(got));
            at += got;
        }
    }
    out << pending_;
}

void ProblemReport::Render(const ValueProblem& p) {
    std::ostringstream text;
    if (format_ == ReportFormat::Text) {
        WriteLines(text, extract_, p);
        lines_.Add(text.str());
        return;
    }
    JsonWriter json(text);
    WriteObject(json, extract_, p);
    (p.error ? errors_ : warnings_).Add(text.str());
}

void ProblemReport::Add(const ValueProblem& problem) {
    ++(problem.error ? errorCount_ : warningCount_);
    ++perCode_[problem.code];
    auto& field = perField_[problem.fieldIndex];
    ++(problem.error ? field.first : field.second);
    if (!captions_.count(problem.fieldIndex)) captions_.emplace(problem.fieldIndex, problem.caption);
    if (keep_ == 0)
        Render(problem);
    else if (kept_.size() < keep_)
        kept_.push_back(problem);
}

void ProblemReport::WriteProblems(std::ostream& out) {
    for (const ValueProblem& p : kept_) WriteLines(out, extract_, p);
    lines_.WriteTo(out);
    const size_t left = keep_ == 0 ? 0 : errorCount_ + warningCount_ - kept_.size();
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

void ProblemReport::WriteJson(std::ostream& out, bool valid) {
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
        for (const ValueProblem& p : kept_)
            if (p.error == errors) WriteObject(json, extract_, p);
        Rendered& rendered = errors ? errors_ : warnings_;
        if (!rendered.Empty()) {
            json.BeginRendered();
            rendered.WriteTo(out);
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
