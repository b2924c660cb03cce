#include "app/win32/Controls.h"

namespace bq::win32 {

HWND CreateControl(HWND parent, const char* className, std::string_view text, DWORD style, int left, int top,
                   int width, int height, int id, DWORD extendedStyle) {
    const std::string caption(text);
    HWND control = CreateWindowExA(
        extendedStyle, className, caption.c_str(), WS_CHILD | WS_VISIBLE | style, left, top, width, height,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(InterfaceFont()), FALSE);
    return control;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HFONT InterfaceFont() {
    static const HFONT font = [] {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            return CreateFontIndirectA(&metrics.lfMessageFont);
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

void ApplyDesignedClientSize(HWND window, int markerLeft, int markerTop) {
    RECT frame{0, 0, markerLeft + 2, markerTop + 2};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeyFocus::Remember() {
    const HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) last_ = focus;
}

// The control that last had the keys gets them back; the first control when
// none has had them yet or that one is disabled now.
void KeyFocus::Restore() const { SetFocus(last_ && IsWindowEnabled(last_) ? last_ : first_); }

void KeyFocus::Handle(UINT message, WPARAM wParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE)
        Remember();
    else
        Restore();
}

}  // namespace bq::win32
