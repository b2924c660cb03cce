// A print job on a Win32 printer: plain text lines through GDI.
#pragma once

#include <windows.h>

#include <string>

#include "shell/screen.h"

namespace bq::win32 {

class Win32PrintJob : public shell::PrintJob {
  public:
    // Takes over `dc`, the printer's device context; prints in the memo's
    // font at its designed point size.
    Win32PrintJob(HDC dc, std::string printerName);
    ~Win32PrintJob() override;
    Win32PrintJob(const Win32PrintJob&) = delete;
    Win32PrintJob& operator=(const Win32PrintJob&) = delete;

    int PageWidth() const override;
    int PageHeight() const override;
    int LineHeight() const override;
    int TextWidth(std::string_view text) const override;
    // Throws Error "Cannot print on "<printer>"" when the job cannot start.
    void Begin(std::string_view title) override;
    void NewPage() override;
    void PrintLine(int y, std::string_view text) override;
    void End() override;

  private:
    [[noreturn]] void Fail(std::string (*message)(std::string_view printer)) const;

    HDC dc_;
    std::string printer_;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    bool started_ = false;
};

}  // namespace bq::win32
