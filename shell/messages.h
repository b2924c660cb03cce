// The texts the user sees around a verification, composed as pure functions
// so that the desktop program and bqdm show the same bytes. Line breaks are
// CR LF, as in every system message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bq {

// The caption of the application error display (with its trailing blank).
inline constexpr std::string_view kApplicationTitle = "Brisquill Data Merge Module ";
// The main window's caption: the designed caption and the reporting year,
// "Brisquill Data Merge Module [ 2018 ]".
std::string MainWindowCaption();
// Captions of the system's own message boxes.
inline constexpr std::string_view kConfirmationCaption = "Successful Verification";
inline constexpr std::string_view kInstructionsCaption = "Data Extract Import Instructions";

// A message as the application error display shows it: a full stop is
// appended when the last character's code is above that of '.'.
std::string DisplayedMessage(std::string_view message);

// The question asked before the output of a verified extract is saved.
std::string ConfirmationText(std::string_view extractFile, std::string_view formName, size_t records);

// The message for an extract named on the command line that is no file.
std::string MissingExtractMessage(std::string_view extractFile, std::string_view programName);

// The messages of a print job on `printer` that cannot start or print, and
// of one that cannot start a new page: "Cannot print on "<printer>"".
std::string CannotPrintOn(std::string_view printer);
std::string CannotStartPageOn(std::string_view printer);

// `text` with its CR LF line breaks replaced by `newline`.
std::string WithNewlines(std::string_view text, std::string_view newline);

}  // namespace bq
