#include "app/win32/Controls.h"

namespace bq::win32 {
namespace {

HFONT CreateDesignFont(const shell::FontDesign& design, int dpi) {
    const std::string face(design.face);
    return CreateFontA(-shell::PixelHeight(design, dpi), 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
}

}  // namespace

int DpiOf(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    if (dpi) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int system = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return system > 0 ? system : shell::kDesignDpi;
}

void WindowFonts::MakeFor(int dpi) {
    if (dpi == dpi_) return;
    Release();
    dpi_ = dpi;
    interface_ = CreateDesignFont(shell::kInterfaceFont, dpi);
    memo_ = CreateDesignFont(shell::kMemoFont, dpi);
}

HFONT WindowFonts::Of(const shell::FontDesign& design) const {
    return &design == &shell::kMemoFont ? memo_ : interface_;
}

void WindowFonts::Release() {
    if (interface_) DeleteObject(interface_);
    if (memo_) DeleteObject(memo_);
    interface_ = memo_ = nullptr;
}

HWND CreateControl(HWND parent, const char* className, std::string_view text, DWORD style, int id,
                   DWORD extendedStyle) {
    const std::string caption(text);
    return CreateWindowExA(extendedStyle, className, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                           0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

void Lay(HWND control, const shell::ControlDesign& design, const WindowFonts& fonts) {
    // The font first: a combo box takes its edit field's height from it.
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Of(*design.font)), FALSE);
    const shell::Place place = shell::Scaled(design.place, fonts.Dpi());
    MoveWindow(control, place.left, place.top, place.width, place.height, TRUE);
}

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int MoveToNewDpi(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT& proposed = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, proposed.left, proposed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return HIWORD(wParam);
}

// The frame is measured on the window as it is, which at a change of dpi
// already has the new monitor's frame.
void ApplyDesignedClientSize(HWND window, const shell::Place& client, int dpi) {
    RECT outer, inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    const int frameWidth = (outer.right - outer.left) - inner.right;
    const int frameHeight = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(window, nullptr, 0, 0, shell::Scaled(client.width, dpi) + frameWidth,
                 shell::Scaled(client.height, dpi) + frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
