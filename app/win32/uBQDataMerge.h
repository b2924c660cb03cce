// The main window on Win32: the selector, the field list, the hint pane
// and the two buttons, created at their designed places. Every event goes
// to the shell's MainWindow; what it changed comes back through Redraw.
#pragma once

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>

#include <string>

#include "app/win32/Controls.h"
#include "shell/main_window.h"

namespace bq::win32 {

class TForm1 {
  public:
    // Creates the window, hidden; `argument` is the program's first argument.
    TForm1(shell::MainWindow& window, std::string argument);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND Handle() const { return hwnd_; }
    // Centres the window on the screen and shows it; the command line runs next.
    void Show();
    // Shows again what `part` of the shell's state holds.
    void Redraw(shell::MainWindowPart part);

    HWND coForm = nullptr;
    HWND lvDestination = nullptr;
    HWND TypeStatus = nullptr;
    HWND bDisplay = nullptr;
    HWND bVerify = nullptr;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Layout(int dpi);
    void OnCommand(int id, int code);
    void OnListChange(const NMLISTVIEW& change);
    void ShowFocusedRow();
    void FillList();
    void ShowTicks();

    shell::MainWindow& window_;
    std::string argument_;
    HWND hwnd_ = nullptr;
    bool redrawing_ = false;  // changes made by Redraw are not the user's
    KeyFocus keys_;
    WindowFonts fonts_;
};

}  // namespace bq::win32
