#include "shell/template_window.h"

#include <algorithm>

#include "extract/template_text.h"
#include "shell/error_display.h"

namespace bq::shell {
namespace {

// The longest prefix of `text` that fits `pageWidth`; at least one
// character, so that a page narrower than one character still makes progress.
size_t FittingLength(std::string_view text, const std::function<int(std::string_view)>& width,
                     int pageWidth) {
    size_t n = 1;
    while (n < text.size() && width(text.substr(0, n + 1)) <= pageWidth) ++n;
    return n;
}

}  // namespace

std::vector<std::vector<std::string_view>> Paginate(const std::vector<std::string>& lines,
                                                    const std::function<int(std::string_view)>& width,
                                                    int pageWidth, int pageHeight, int lineHeight) {
    const int step = std::max(1, lineHeight);
    std::vector<std::vector<std::string_view>> pages(1);
    int y = 0;
    for (std::string_view rest : lines) {
        do {
            const size_t n = rest.empty() ? 0 : FittingLength(rest, width, pageWidth);
            if (y > 0 && y + step > pageHeight) {
                pages.emplace_back();
                y = 0;
            }
            pages.back().push_back(rest.substr(0, n));
            y += step;
            rest.remove_prefix(n);
        } while (!rest.empty());
    }
    return pages;
}

FileDialog TemplateWindow::SaveDialog() const {
    return {"SAVE " + FirstLine() + " TEMPLATE", FirstLine() + " TEMPLATE.txt", "Text Files|*.txt", "TXT"};
}

std::string TemplateWindow::JobTitle() const { return FirstLine() + " DATA EXTRACT TEMPLATE"; }

void TemplateWindow::bSaveClick() {
    Guarded(screen_, [&] {
        if (const std::optional<std::string> path = screen_.ChooseFileToSave(SaveDialog()))
            SaveTemplate(*path, lines_);
    });
}

void TemplateWindow::PrintPages(PrintJob& job) const {
    const int lineHeight = job.LineHeight();
    const auto pages = Paginate(
        lines_, [&job](std::string_view text) { return job.TextWidth(text); }, job.PageWidth(),
        job.PageHeight(), lineHeight);
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p > 0) job.NewPage();
        int y = 0;
        for (std::string_view line : pages[p]) {
            job.PrintLine(y, line);
            y += lineHeight;
        }
    }
}

void TemplateWindow::bPrintClick() {
    Guarded(screen_, [&] {
        // The front end shows the hour-glass while it prepares the dialog,
        // not while the dialog waits for the user.
        const std::unique_ptr<PrintJob> job = screen_.SetUpPrinter();
        if (!job) return;
        const Busy busy(screen_);
        job->Begin(JobTitle());
        try {
            PrintPages(*job);
        } catch (...) {
            // The job is ended also when printing failed, so the printer is not left waiting.
            job->End();
            throw;
        }
        job->End();
    });
}

}  // namespace bq::shell
