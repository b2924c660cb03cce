#include "app/win32/uBQDataMergeTemplate.h"

#include "app/win32/Controls.h"

namespace bq::win32 {
namespace {

enum ControlId { kMemo = 201, kPrint, kSave, kClose };
constexpr char kClassName[] = "TfmTemplate";

}  // namespace

TfmTemplate::TfmTemplate(shell::TemplateWindow& window, HWND mainWindow)
    : window_(window), main_(mainWindow) {
    static const ATOM registered = [] {
        WNDCLASSEXA c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = WindowProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.hCursor = LoadCursor(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = kClassName;
        return RegisterClassExA(&c);
    }();
    (void)registered;
    const std::string caption(shell::kTemplateCaption);
    // Made at any size that leaves room for the frame, which Layout
    // measures to give the client area its designed size.
    hwnd_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, caption.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT,
                            CW_USEDEFAULT, 640, 480, main_, nullptr, GetModuleHandleA(nullptr), this);
    namespace design = shell::template_window;
    // Read-only and out of the tab order; both scroll bars, no word wrap.
    RzMemo1 = CreateControl(
        hwnd_, "EDIT", "",
        ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL, kMemo);
    bPrint = CreateControl(hwnd_, "BUTTON", design::kPrint.caption, WS_TABSTOP | BS_PUSHBUTTON, kPrint);
    bSave = CreateControl(hwnd_, "BUTTON", design::kSave.caption, WS_TABSTOP | BS_PUSHBUTTON, kSave);
    bClose = CreateControl(hwnd_, "BUTTON", design::kClose.caption, WS_TABSTOP | BS_PUSHBUTTON, kClose);
    keys_ = KeyFocus(hwnd_, bPrint);
    Layout(DpiOf(hwnd_));
}

// Every control at its designed place and in its designed font at `dpi`,
// and the window at its designed client size.
void TfmTemplate::Layout(int dpi) {
    namespace design = shell::template_window;
    fonts_.MakeFor(dpi);
    ApplyDesignedClientSize(hwnd_, design::kClient, dpi);
    Lay(RzMemo1, design::kMemo, fonts_);
    Lay(bPrint, design::kPrint, fonts_);
    Lay(bSave, design::kSave, fonts_);
    Lay(bClose, design::kClose, fonts_);
}

TfmTemplate::~TfmTemplate() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void TfmTemplate::RunModal() {
    std::string text;
    for (const std::string& line : window_.Lines()) text.append(line).append("\r\n");
    if (!text.empty()) text.resize(text.size() - 2);
    SetWindowTextA(RzMemo1, text.c_str());
    // The window opens over the main window, wherever the user has moved it.
    RECT mainFrame;
    GetWindowRect(main_, &mainFrame);
    SetWindowPos(hwnd_, nullptr, mainFrame.left, mainFrame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EnableWindow(main_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(bPrint);
    MSG message;
    while (IsWindowVisible(hwnd_) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EnableWindow(main_, TRUE);
    SetActiveWindow(main_);
}

// The main window is enabled again before this one hides, so that it, and
// not some other program, becomes the active window.
void TfmTemplate::Close() {
    EnableWindow(main_, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK TfmTemplate::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TfmTemplate*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfmTemplate*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT TfmTemplate::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) break;
            // A button may open a box, which takes the keys away before the window is told.
            keys_.Remember();
            switch (LOWORD(wParam)) {
                case kPrint:
                    window_.bPrintClick();
                    return 0;
                case kSave:
                    window_.bSaveClick();
                    return 0;
                case kClose:
                case IDCANCEL:
                    Close();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DPICHANGED:
            Layout(MoveToNewDpi(hwnd_, wParam, lParam));
            return 0;
        case WM_ACTIVATE:
        case WM_SETFOCUS:
            keys_.Handle(message, wParam);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace bq::win32
