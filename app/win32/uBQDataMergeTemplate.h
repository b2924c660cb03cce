// The template window on Win32: the memo and the Print, Save and Close
// buttons. What the buttons do is the shell's TemplateWindow.
#pragma once

#include <windows.h>

#include "app/win32/Controls.h"
#include "shell/template_window.h"

namespace bq::win32 {

class TfmTemplate {
  public:
    // Creates the window, hidden, owned by `mainWindow`.
    TfmTemplate(shell::TemplateWindow& window, HWND mainWindow);
    ~TfmTemplate();
    TfmTemplate(const TfmTemplate&) = delete;
    TfmTemplate& operator=(const TfmTemplate&) = delete;

    HWND Handle() const { return hwnd_; }
    // Fills the memo, covers the main window and runs until the window is closed.
    void RunModal();

    HWND RzMemo1 = nullptr;
    HWND bPrint = nullptr;
    HWND bSave = nullptr;
    HWND bClose = nullptr;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Close();
    void Layout(int dpi);

    shell::TemplateWindow& window_;
    HWND main_;
    HWND hwnd_ = nullptr;
    KeyFocus keys_;
    WindowFonts fonts_;
};

}  // namespace bq::win32
