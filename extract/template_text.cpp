#include "extract/template_text.h"

#include "extract/extract_format.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace bq {

std::string DesktopProgramName() { return "BQ2018DM" + std::string(ExecutableSuffix()); }

std::vector<std::string> TemplateLines(std::string_view formText, const std::vector<std::string>& captions,
                                       const std::vector<bool>& ticked, std::string_view programName) {
    const std::string f(formText);
    std::vector<std::string> lines = {FormLine(f), KeyLine(FlagsOf(ticked)), std::string(kBeginDataMarker)};
    for (size_t i = 0; i < captions.size() && i < ticked.size(); ++i)
        if (ticked[i]) lines.push_back(captions[i]);
    const std::vector<std::string> instructions = {
        std::string(kEndDataMarker),
        "",
        "INSTRUCTIONS FOR CREATING YOUR DATA EXTRACT",
        "===========================================",
        "1. Create a \"new\" text file.",
        "   Name this file as you like (" + f + "_EXTRACT.txt is suggested).",
        "",
        "2. Include the FORM, KEY and {BEGIN DATA} segments.",
        "   These segments must be the first 3 lines of your text file.",
        "   These segments must be included exactly as shown above.",
        "",
        "3. Write recipient records to your file.",
        "   The first recipient must begin immediately after the {BEGIN DATA} segment.",
        "   Field values must be written under one another as shown above.",
        "   Supply only the value of the field; not the field name.",
        "   Do not omit any field values; field values may be left blank.",
        "   Recipient records must follow one another in this manner.",
        "   Do not skip a line between recipient records.",
        "",
        "4. Follow the last recipient record with the {END DATA} segment as shown above.",
        "   Do not skip a line before the {END DATA} segment",
        "",
        "5  Close the text file.",
        "   This is your data extract.",
        "",
        "6. In order to merge your data extract with Brisquill, make the following",
        "   call from your application",
        "",
        "   " + std::string(programName) + " \"File specification\"",
        "",
        "   where",
        "",
        "   File specification = the fully qualified file name of your data extract.",
        "   This is easily implemented using Windows ShellExecute() function.",
    };
    lines.insert(lines.end(), instructions.begin(), instructions.end());
    return lines;
}

std::string TemplateFileBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

void SaveTemplate(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomically(path, TemplateFileBytes(lines));
}

}  // namespace bq
