#include "app/win32/Win32PrintJob.h"

#include "platform/error.h"
#include "shell/messages.h"
#include "shell/window_design.h"

namespace bq::win32 {

// The memo's design font at its point size, whatever the screen's dpi:
// 9.75 points on paper are the 13 pixels of the 96-dpi design.
Win32PrintJob::Win32PrintJob(HDC dc, std::string printerName) : dc_(dc), printer_(std::move(printerName)) {
    const shell::FontDesign& memo = shell::kMemoFont;
    const std::string face(memo.face);
    const int height = static_cast<int>(memo.points * GetDeviceCaps(dc_, LOGPIXELSY) / 72.0 + 0.5);
    font_ =
        CreateFontA(-height, 0, 0, 0, memo.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
    previousFont_ = SelectObject(dc_, font_);
}

Win32PrintJob::~Win32PrintJob() {
    if (started_) AbortDoc(dc_);
    SelectObject(dc_, previousFont_);
    DeleteObject(font_);
    DeleteDC(dc_);
}

void Win32PrintJob::Fail(std::string (*message)(std::string_view printer)) const {
    throw Error(message(printer_));
}

int Win32PrintJob::PageWidth() const { return GetDeviceCaps(dc_, HORZRES); }

int Win32PrintJob::PageHeight() const { return GetDeviceCaps(dc_, VERTRES); }

int Win32PrintJob::LineHeight() const {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int Win32PrintJob::TextWidth(std::string_view text) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void Win32PrintJob::Begin(std::string_view title) {
    const std::string name(title);
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name.c_str();
    if (StartDocA(dc_, &doc) <= 0) Fail(CannotPrintOn);
    started_ = true;
    if (StartPage(dc_) <= 0) Fail(CannotPrintOn);
}

void Win32PrintJob::NewPage() {
    if (EndPage(dc_) <= 0 || StartPage(dc_) <= 0) Fail(CannotStartPageOn);
}

void Win32PrintJob::PrintLine(int y, std::string_view text) {
    if (!TextOutA(dc_, 0, y, text.data(), static_cast<int>(text.size()))) Fail(CannotPrintOn);
}

void Win32PrintJob::End() {
    if (!started_) return;
    started_ = false;
    if (EndPage(dc_) <= 0 || EndDoc(dc_) <= 0) Fail(CannotPrintOn);
}

}  // namespace bq::win32
