// The shell's screen on Win32: MessageBoxA, MessageBeep, the hour-glass,
// the common dialogs, GDI printing, and the two windows.
#pragma once

#include <windows.h>

#include <string>

#include "shell/screen.h"

namespace bq::win32 {

class TForm1;
class TfmTemplate;

class Win32Screen : public shell::Screen {
  public:
    // The windows the screen draws into; set once both exist.
    void SetWindows(TForm1* mainWindow, TfmTemplate* templateWindow);
    // True while the hour-glass is up.
    bool Busy() const { return busy_ > 0; }

    shell::Answer Message(std::string_view caption, std::string_view text, shell::Icon icon,
                          shell::Buttons buttons) override;
    void Beep() override;
    void SetBusy(bool busy) override;
    void KeepResponsive() override;
    std::optional<std::string> ChooseFileToOpen(const shell::FileDialog& dialog) override;
    std::optional<std::string> ChooseFileToSave(const shell::FileDialog& dialog) override;
    std::unique_ptr<shell::PrintJob> SetUpPrinter() override;
    void ShowTemplateWindow() override;
    void CloseMainWindow() override;
    void Redraw(shell::MainWindowPart part) override;

  protected:
    // The windows given to SetWindows.
    TForm1* MainForm() const { return main_; }
    TfmTemplate* TemplateForm() const { return template_; }
    // MessageBoxA's answer (IDOK, IDYES, IDNO); tests answer it from a script.
    virtual int RunMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

  private:
    // The window a box or dialog belongs to: the template window while it is open.
    HWND Owner() const;

    TForm1* main_ = nullptr;
    TfmTemplate* template_ = nullptr;
    int busy_ = 0;
};

}  // namespace bq::win32
