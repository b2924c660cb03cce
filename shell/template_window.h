// The template window without its controls: the template lines it shows,
// saving them as a text file and printing them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/screen.h"

namespace bq::shell {

// The template window's caption.
inline constexpr std::string_view kTemplateCaption = "Data Extract Template";

// The printed lines of every page: a line wider than `pageWidth` continues
// on the next line, and a new page starts when the next line would not fit.
// `width` measures a text as printed.
std::vector<std::vector<std::string_view>> Paginate(const std::vector<std::string>& lines,
                                                    const std::function<int(std::string_view)>& width,
                                                    int pageWidth, int pageHeight, int lineHeight);

class TemplateWindow {
  public:
    explicit TemplateWindow(Screen& screen) : screen_(screen) {}

    // Replaces the lines shown.
    void Fill(std::vector<std::string> lines) { lines_ = std::move(lines); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // The save dialog: "SAVE " + line 1 + " TEMPLATE", proposing line 1 + " TEMPLATE.txt".
    FileDialog SaveDialog() const;
    // The print job's title: line 1 + " DATA EXTRACT TEMPLATE".
    std::string JobTitle() const;

    // Asks where to save, then writes every line followed by CR LF.
    void bSaveClick();
    // Asks for the printer, then prints every line.
    void bPrintClick();

  private:
    std::string FirstLine() const { return lines_.empty() ? std::string() : lines_.front(); }
    void PrintPages(PrintJob& job) const;

    Screen& screen_;
    std::vector<std::string> lines_;
};

}  // namespace bq::shell
