#include "app/qt/QtPrintJob.h"

#include <QFontMetrics>
#include <QPrinter>

#include "app/qt/AppText.h"
#include "platform/error.h"
#include "shell/messages.h"

namespace bq::app {

QtPrintJob::QtPrintJob(std::unique_ptr<QPrinter> printer, const QFont& font)
    : printer_(std::move(printer)), font_(font) {}

QtPrintJob::~QtPrintJob() {
    if (painter_.isActive()) painter_.end();
}

void QtPrintJob::Begin(std::string_view title) {
    printer_->setDocName(FromBytes(title));
    if (!painter_.begin(printer_.get())) throw Error(CannotPrintOn(ToBytes(printer_->printerName())));
    painter_.setFont(font_);
}

// The painter's origin is already the top-left of the printable area.
int QtPrintJob::PageWidth() const {
    return static_cast<int>(printer_->pageRect(QPrinter::DevicePixel).width());
}

int QtPrintJob::PageHeight() const {
    return static_cast<int>(printer_->pageRect(QPrinter::DevicePixel).height());
}

int QtPrintJob::LineHeight() const { return painter_.fontMetrics().lineSpacing(); }

int QtPrintJob::TextWidth(std::string_view text) const {
    return painter_.fontMetrics().horizontalAdvance(FromBytes(text));
}

void QtPrintJob::NewPage() {
    if (!printer_->newPage()) throw Error(CannotStartPageOn(ToBytes(printer_->printerName())));
}

void QtPrintJob::PrintLine(int y, std::string_view text) {
    painter_.drawText(0, y + painter_.fontMetrics().ascent(), FromBytes(text));
}

void QtPrintJob::End() {
    if (painter_.isActive() && !painter_.end()) throw Error(CannotPrintOn(ToBytes(printer_->printerName())));
}

}  // namespace bq::app
