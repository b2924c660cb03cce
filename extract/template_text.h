// The data extract template: the header lines an extract must begin with,
// the captions of the ticked fields in the order their values are written,
// the closing marker, and the instructions for the outside application.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bq {

// The desktop program's executable file name, as the instructions show it.
std::string DesktopProgramName();

// The template lines for the form text `formText` and a field list given as
// its captions with one tick per caption (both in field-index order).
// `programName` is the executable named in the instructions.
std::vector<std::string> TemplateLines(std::string_view formText, const std::vector<std::string>& captions,
                                       const std::vector<bool>& ticked, std::string_view programName);

// The bytes of a saved template: every line followed by CR LF.
std::string TemplateFileBytes(const std::vector<std::string>& lines);

// Writes the template lines to `path` atomically.
// Throws Error "Cannot create file ..." when it cannot be written.
void SaveTemplate(const std::string& path, const std::vector<std::string>& lines);

}  // namespace bq
