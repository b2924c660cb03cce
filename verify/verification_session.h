// One verification session: the processing state of the main window
// without the window. It holds the current form's field selection and the
// extract, and runs the checks in their fixed order (Verify):
// CheckFormSegment, CheckKeySegment, VerifyExtractData. The extract is read
// in blocks, never whole, and the output rows go to the caller as they are
// verified. Every failure is an Error carrying the whole message.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "extract/extract_source.h"
#include "verify/data_pass.h"
#include "verify/field_selection.h"
#include "verify/problems.h"

namespace bq {

class VerificationSession {
  public:
    // The fields of the current form and their ticks.
    const FieldSelection& Selection() const { return selection_; }
    FieldSelection& Selection() { return selection_; }

    // --- the extract ---
    void SetExtractFile(std::string path) { source_.SetPath(std::move(path)); }
    const std::string& ExtractFile() const { return source_.Path(); }
    // Opens ExtractFile, to be read when it is verified; its folder stays
    // open for the output. Throws Error "Cannot open file ..." when it
    // cannot be read.
    void LoadExtract() { source_.Open(); }
    // Takes `file`, which is in no folder (a copy of standard input), as the extract.
    void LoadExtractFile(std::unique_ptr<InputFile> file) { source_.Take(std::move(file)); }
    // Takes `text` as the extract's content instead of a file.
    void LoadExtractText(std::string text) { source_.TakeText(std::move(text)); }
    // Closes the extract loaded by LoadExtract, keeping its folder, so that
    // the application that wrote it has it to itself again; the next Verify
    // opens it anew, by its path in that folder.
    void ReleaseExtract() { source_.Release(); }
    // The folder the extract was read from; null for an extract given otherwise.
    const Folder* ExtractFolder() const { return source_.HeldFolder(); }

    // --- the checks ---
    // The three checks in their order; the first failure throws its Error.
    void Verify(const VerifyOptions& options = {});
    // The FORM line names a form of the catalogue, whose fields it loads.
    void CheckFormSegment();
    // The KEY line flags as many fields as the form has; its ticks are applied.
    void CheckKeySegment();
    // The data: every record verified, its row handed to options.output.
    void VerifyExtractData(const VerifyOptions& options = {});

    // --- the outcome ---
    const std::string& FormName() const { return formName_; }
    const std::string& FieldFlags() const { return fieldFlags_; }
    // The output rows verified: every record's after a successful run, those
    // before the record of the first bad value after a failure.
    size_t OutputRowCount() const { return outputRowCount_; }

  private:
    [[noreturn]] void Fail(std::string text, std::string_view code, size_t line, std::string hint) const;

    FieldSelection selection_;
    ExtractSource source_;
    std::string formName_;
    std::string fieldFlags_;
    size_t outputRowCount_ = 0;
};

}  // namespace bq
