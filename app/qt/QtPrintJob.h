// A print job on a Qt printer: plain text lines in one font.
#pragma once

#include <QFont>
#include <QPainter>
#include <memory>

#include "shell/screen.h"

class QPrinter;

namespace bq::app {

class QtPrintJob : public shell::PrintJob {
  public:
    // `printer` as the user set it up; `font` is printed at its point size.
    QtPrintJob(std::unique_ptr<QPrinter> printer, const QFont& font);
    ~QtPrintJob() override;

    int PageWidth() const override;
    int PageHeight() const override;
    int LineHeight() const override;
    int TextWidth(std::string_view text) const override;
    // Throws Error "Cannot print on "<printer>"" when the printer cannot be opened.
    void Begin(std::string_view title) override;
    void NewPage() override;
    void PrintLine(int y, std::string_view text) override;
    void End() override;

  private:
    std::unique_ptr<QPrinter> printer_;
    QFont font_;
    QPainter painter_;
};

}  // namespace bq::app
