// One verification session: the processing state of the main window without
// the window. It holds the current form's field list with one tick per
// field and the open extract, and runs the checks in their fixed order
// (Verify): CheckFormSegment, CheckKeySegment, VerifyExtractData. The
// extract is read in blocks, never whole, and the output rows go to the
// caller as they are verified. Every failure is an Error carrying the whole
// message.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extract/extract_reader.h"
#include "platform/error.h"
#include "platform/files.h"

namespace bq {

// One row of the field list: a destination field of the current form.
struct FieldEntry {
    std::string caption;
    char typeCode;
    bool checked = false;
};

// Told when the field list changes, so a window can mirror it.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;
    // The list was rebuilt for form `formIndex` (-1: no form), all unticked.
    virtual void FieldListReloaded(int formIndex) = 0;
    // A KEY segment's flags were applied as ticks.
    virtual void FlagsApplied() = 0;
};

// A bad value, or a value its rule changed or dropped quietly (a warning).
struct ValueProblem {
    bool error;           // a bad value; otherwise a warning
    size_t line;          // the 1-based line of the extract
    size_t record;        // 1-based record number
    size_t fieldOrdinal;  // 1-based position of the value within its record; 0 for the whole record
    int fieldIndex;       // the field's index in the form; -1 for the whole record
    std::string caption;
    std::string rawValue;     // the extract line as read
    std::string_view code;    // stable: "invalid-tin", "date-serial", ...
    std::string_view phrase;  // "to an invalid TIN ", or empty for a warning
    std::string message;      // the system's whole message; for a warning what happened
    std::string hint;         // the likely fix in one line; may be empty
};

// A fault of the extract's layout: the system's message, and for tools a
// stable code, the line it concerns (0: none) and a hint.
class ExtractError : public Error {
  public:
    ExtractError(const std::string& message, std::string_view code, size_t line, std::string hint)
        : Error(message), code(code), line(line), hint(std::move(hint)) {}
    std::string_view code;
    size_t line;
    std::string hint;
};

struct VerifyOptions {
    // Called with (records done, records in all) every few thousand records
    // and at the end, on the calling thread, as records are done in order.
    std::function<void(size_t done, size_t total)> progress;
    // When set, every bad value and every warning is reported here and the
    // run goes on; when not set, the first bad value throws its message.
    std::function<void(const ValueProblem&)> onProblem;
    // When set without onProblem, the warnings are reported here, and the
    // first bad value still throws its message.
    std::function<void(const ValueProblem&)> onWarning;
    // When set, called with every value as it was read and as it is written,
    // on whichever thread verifies it: for a preview, with one thread.
    std::function<void(size_t line, size_t record, size_t f, std::string_view raw, std::string_view written)>
        onValue;
    // Receives the bytes of the output file, rows in record order, each
    // ended by CR LF; when not set, no row is encoded.
    std::function<void(std::string_view bytes)> output;
    // When not 0, the verification ends once this many records are done (or more, a block at a time).
    size_t recordLimit = 0;
    // The year two-digit years and month/day dates are placed around.
    int currentYear = 0;  // 0: the local clock's year
    // The threads that verify: 0 for as many as pay here, 1 for the calling thread alone.
    size_t threads = 0;
    // The bytes of records verified as one piece; 0 for the usual size.
    size_t blockBytes = 0;
};

struct BlockJob;
struct Remark;

class VerificationSession {
  public:
    VerificationSession();

    // The observer to notify (may be null); not owned.
    void SetObserver(SessionObserver* observer) { observer_ = observer; }

    // --- the field list ---
    // Rebuilds the list for `formIndex` with no field ticked; -1 (or any
    // index without fields) gives an empty list.
    void LoadFieldList(int formIndex);
    int FormIndex() const { return formIndex_; }
    const std::vector<FieldEntry>& Fields() const { return fields_; }
    void SetChecked(size_t field, bool checked);
    size_t CountCheckedFields() const;
    // The captions and ticks in list order, as the template needs them.
    std::vector<std::string> Captions() const;
    std::vector<bool> Ticks() const;

    // --- the extract ---
    void SetExtractFile(std::string path) { extractFile_ = std::move(path); }
    const std::string& ExtractFile() const { return extractFile_; }
    // Opens ExtractFile, to be read when it is verified; its folder stays
    // open for the output. Throws Error "Cannot open file ..." when it
    // cannot be read.
    void LoadExtract();
    // The folder the extract was read from; null for an extract given as text.
    const Folder* ExtractFolder() const { return folder_.get(); }
    // Takes `text` as the extract's content instead of a file.
    void LoadExtractText(std::string text);
    // Takes `file`, which is in no folder (a copy of standard input), as the extract.
    void LoadExtractFile(std::unique_ptr<InputFile> file);
    // Closes the extract loaded by LoadExtract, keeping its folder, so that
    // the application that wrote it has it to itself again; the next Verify
    // opens it anew, by its path in that folder.
    void ReleaseExtract();

    // --- the checks ---
    // The three checks in their order; the first failure throws its Error.
    void Verify(const VerifyOptions& options = {});
    void CheckFormSegment();
    void CheckKeySegment();
    void VerifyExtractData(const VerifyOptions& options = {});

    // --- the output ---
    const std::string& FormName() const { return formName_; }
    const std::string& FieldFlags() const { return fieldFlags_; }
    // The record last worked on, one value per field, as far as it got;
    // empty before the first verification of the data.
    const std::vector<std::string>& OutputRow() const { return outputRow_; }
    // The output rows verified: every record's after a successful run, those
    // before the record of the first bad value after a failure.
    size_t OutputRowCount() const { return outputRowCount_; }
    // The field index of the form's TIN-type field, or -1.
    int TinTypeFieldIndex() const { return tinTypeField_; }

  private:
    struct DataRun;
    std::string Located(std::string_view message) const;
    // The first two lines, read once per extract.
    const std::vector<std::string>& HeadLines();
    // Opens the extract again after ReleaseExtract.
    void Reopen();
    // The report of the f-th value (0-based) of `record`, the raw line `raw`:
    // its rejection with the system's message when `remark` is null, or else the warning.
    ValueProblem ProblemOf(const DataRun& run, size_t record, size_t f, std::string_view raw,
                           const Remark* remark) const;
    [[noreturn]] void Fail(std::string_view message, std::string_view code, size_t line,
                           std::string hint) const;
    // Verifies the records of `job` on any thread.
    void VerifyBlock(BlockJob& job, const DataRun& run) const;

    SessionObserver* observer_ = nullptr;
    int formIndex_ = -1;
    std::vector<FieldEntry> fields_;
    std::string extractFile_;
    std::unique_ptr<Folder> folder_;
    std::unique_ptr<InputFile> file_;
    bool released_ = false;
    std::string text_;
    ReadBytesAt read_;
    std::vector<std::string> headLines_;
    bool headRead_ = false;
    std::string formName_;
    std::string fieldFlags_;
    std::vector<std::string> outputRow_;
    size_t outputRowCount_ = 0;
    int tinTypeField_ = -1;
};

}  // namespace bq
