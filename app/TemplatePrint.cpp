#include "app/TemplatePrint.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "app/AppText.h"
#include "platform/error.h"

namespace bq::app {
namespace {

// The longest prefix of `text` that fits `width`; at least one character,
// so that a page narrower than one character still makes progress.
qsizetype FittingLength(const QString& text, const QFontMetrics& metrics, int width) {
    qsizetype n = 1;
    while (n < text.size() && metrics.horizontalAdvance(text.left(n + 1)) <= width) ++n;
    return n;
}

// Ends the painting on every way out, so the printer job is always closed.
struct PainterGuard {
    QPainter& painter;
    ~PainterGuard() {
        if (painter.isActive()) painter.end();
    }
};

}  // namespace

std::vector<QStringList> PaginateLines(const QStringList& lines, const QFontMetrics& metrics, int width,
                                       int height) {
    const int step = std::max(1, metrics.lineSpacing());
    std::vector<QStringList> pages(1);
    int y = 0;
    auto put = [&](const QString& printed) {
        if (y > 0 && y + step > height) {
            pages.emplace_back();
            y = 0;
        }
        pages.back().append(printed);
        y += step;
    };
    for (const QString& line : lines) {
        QString rest = line;
        do {
            const qsizetype n = rest.isEmpty() ? 0 : FittingLength(rest, metrics, width);
            put(rest.left(n));
            rest.remove(0, n);
        } while (!rest.isEmpty());
    }
    return pages;
}

void PrintLines(QPrinter& printer, const QFont& font, const QStringList& lines) {
    QPainter painter;
    PainterGuard guard{painter};
    if (!painter.begin(&printer))
        throw Error("Cannot print on \"" + ToBytes(printer.printerName()) + "\"");
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    // The painter's origin is already the top-left of the printable area.
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    const std::vector<QStringList> pages =
        PaginateLines(lines, metrics, static_cast<int>(area.width()), static_cast<int>(area.height()));
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) throw Error("Cannot start a new page on \"" + ToBytes(printer.printerName()) + "\"");
        int y = metrics.ascent();
        for (const QString& line : pages[p]) {
            painter.drawText(0, y, line);
            y += metrics.lineSpacing();
        }
    }
    if (!painter.end()) throw Error("Cannot print on \"" + ToBytes(printer.printerName()) + "\"");
}

}  // namespace bq::app
