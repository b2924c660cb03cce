// Printing the data extract template: lines laid out from the top-left of
// the printable area, a line too wide for the page continued on the next
// line, and a new page whenever the next line would not fit.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QStringList>
#include <string>
#include <vector>

class QPrinter;

namespace bq::app {

// The printed lines of every page for a page of `width` x `height` pixels.
std::vector<QStringList> PaginateLines(const QStringList& lines, const QFontMetrics& metrics, int width,
                                       int height);

// Prints `lines` in `font` on `printer`, which the user has already set up.
// Throws Error when the printer cannot be written.
void PrintLines(QPrinter& printer, const QFont& font, const QStringList& lines);

}  // namespace bq::app
