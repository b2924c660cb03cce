// Small helpers shared by the two Win32 windows: creating a child control
// at its designed place, and the byte text of a window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace bq::win32 {

// A child control of `parent` with the given class, text, style and geometry,
// in the window's font. `id` identifies it in WM_COMMAND and WM_NOTIFY.
HWND CreateControl(HWND parent, const char* className, std::string_view text, DWORD style, int left, int top,
                   int width, int height, int id, DWORD extendedStyle = 0);

// The text of `window`, bytes as they stand in the ANSI code page.
std::string WindowText(HWND window);

// The font of the program's controls.
HFONT InterfaceFont();

// Gives `window` the client size the marker at (`markerLeft`, `markerTop`)
// designs: marker position plus its own two pixels.
void ApplyDesignedClientSize(HWND window, int markerLeft, int markerTop);

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

  private:
    void Restore() const;

    HWND window_ = nullptr;
    HWND first_ = nullptr;
    HWND last_ = nullptr;
};

}  // namespace bq::win32
