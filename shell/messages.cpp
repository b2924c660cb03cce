#include "shell/messages.h"

#include "schema/form_catalogue.h"

namespace bq {

std::string DisplayedMessage(std::string_view message) {
    std::string shown(message);
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > '.') shown += '.';
    return shown;
}

std::string ConfirmationText(std::string_view extractFile, std::string_view formName, size_t records) {
    std::string text = "EXTRACT: ";
    text += extractFile;
    text += "\r\n\r\nRETURNS: ";
    text += formName;
    text += "\r\nRECORDS: " + std::to_string(records);
    text += "\r\n\r\nREPORTING YEAR: ";
    text += kReportingYear;
    text += "\r\n\r\nDo you want to save the output for merging with Brisquill?";
    return text;
}

std::string MissingExtractMessage(std::string_view extractFile, std::string_view programName) {
    std::string text = "Failed to open data extract:\r\n\r\n";
    text += extractFile;
    text += "\r\n\r\nUsage: ";
    text += programName;
    text +=
        " \"File specification\"\r\n\r\n\"File specification\" = fully qualified file name of your data "
        "extract!";
    return text;
}

std::string WithNewlines(std::string_view text, std::string_view newline) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += newline;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string MainWindowCaption() {
    return "Brisquill Data Merge Module [ " + std::string(kReportingYear) + " ]";
}

std::string CannotPrintOn(std::string_view printer) {
    return "Cannot print on \"" + std::string(printer) + "\"";
}

std::string CannotStartPageOn(std::string_view printer) {
    return "Cannot start a new page on \"" + std::string(printer) + "\"";
}

}  // namespace bq
