// Small helpers shared by the two Win32 windows: the design's fonts at a
// window's dpi, creating a child control and laying it out at its designed
// place scaled to that dpi, the byte text of a window, and the control
// that keeps the keys.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "shell/window_design.h"

namespace bq::win32 {

// The dpi of the monitor `window` is on; the program is per-monitor aware.
int DpiOf(HWND window);

// The fonts of one window at its dpi: made for the dpi it opens at, and
// again when it moves to a monitor of another dpi.
class WindowFonts {
  public:
    WindowFonts() = default;
    ~WindowFonts() { Release(); }
    WindowFonts(const WindowFonts&) = delete;
    WindowFonts& operator=(const WindowFonts&) = delete;
    // Makes the fonts for `dpi`, unless they are already made for it.
    void MakeFor(int dpi);
    int Dpi() const { return dpi_; }
    HFONT Interface() const { return interface_; }
    HFONT Memo() const { return memo_; }
    // The font made for `design`: one of the two above.
    HFONT Of(const shell::FontDesign& design) const;

  private:
    void Release();

    int dpi_ = 0;
    HFONT interface_ = nullptr;
    HFONT memo_ = nullptr;
};

// A child control of `parent` with the given class, text and style; it is
// placed by Lay. `id` identifies it in WM_COMMAND and WM_NOTIFY.
HWND CreateControl(HWND parent, const char* className, std::string_view text, DWORD style, int id,
                   DWORD extendedStyle = 0);

// Moves `control` to `design`'s place at the fonts' dpi and gives it its font.
void Lay(HWND control, const shell::ControlDesign& design, const WindowFonts& fonts);

// The text of `window`, bytes as they stand in the ANSI code page.
std::string WindowText(HWND window);

// For WM_DPICHANGED: moves `window` to the place Windows proposes for the
// monitor of another dpi, and returns that dpi, to lay the window out for.
int MoveToNewDpi(HWND window, WPARAM wParam, LPARAM lParam);

// Gives `window` the designed client size `client` at `dpi`.
void ApplyDesignedClientSize(HWND window, const shell::Place& client, int dpi);

// The control of a window that has the keys, kept while boxes and other
// windows take them, so that, as in a dialog, they never go to the bare window.
class KeyFocus {
  public:
    KeyFocus() = default;
    // `first` gets the keys until another control of `window` has had them.
    KeyFocus(HWND window, HWND first) : window_(window), first_(first) {}
    // Notes the control that has the keys now, if it is one of the window's.
    void Remember();
    // Handles the window's WM_ACTIVATE or WM_SETFOCUS.
    void Handle(UINT message, WPARAM wParam);
    // Gives the keys back to the control that last had them.
    void Restore() const;

  private:
    HWND window_ = nullptr;
    HWND first_ = nullptr;
    HWND last_ = nullptr;
};

// For as long as it lives, a box or dialog may take the keys: they go back
// to the control that had them when it ends, as a native program does, even
// when the box left no window active.
class KeysBack {
  public:
    KeysBack() : focus_(GetFocus()) {}
    ~KeysBack() {
        if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_))
            SetFocus(focus_);
    }
    KeysBack(const KeysBack&) = delete;
    KeysBack& operator=(const KeysBack&) = delete;

  private:
    HWND focus_;
};

}  // namespace bq::win32
