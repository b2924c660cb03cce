#include "tests/scripted_win32_screen.h"

#include "app/win32/Controls.h"
#include "app/win32/uBQDataMerge.h"
#include "app/win32/uBQDataMergeTemplate.h"

namespace bq::win32 {
namespace {

// The screen whose template window is up; a timer procedure has no context of its own.
ScriptedWin32Screen* showing = nullptr;

}  // namespace

int ScriptedWin32Screen::RunMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                       UINT flags) {
    boxes.push_back({caption, text, flags, owner, Busy()});
    if ((flags & MB_TYPEMASK) != MB_YESNO) {
        if (!realBoxes) return IDOK;
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, PressOk);
        return Win32Screen::RunMessageBox(owner, text, caption, flags);
    }
    if (whileAsked) whileAsked();
    return answers.Next(IDNO);
}

std::optional<std::string> ScriptedWin32Screen::Choose(const shell::FileDialog& dialog, bool save) {
    fileDialogs.push_back({dialog, save});
    return test::NextFile(files);
}

std::optional<std::string> ScriptedWin32Screen::ChooseFileToOpen(const shell::FileDialog& dialog) {
    return Choose(dialog, false);
}

std::optional<std::string> ScriptedWin32Screen::ChooseFileToSave(const shell::FileDialog& dialog) {
    return Choose(dialog, true);
}

std::unique_ptr<shell::PrintJob> ScriptedWin32Screen::SetUpPrinter() {
    ++printDialogs;
    return nullptr;
}

// The window's own loop runs; the timer fires inside it, once the window is up.
void ScriptedWin32Screen::ShowTemplateWindow() {
    showing = this;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, LookAtTemplate);
    Win32Screen::ShowTemplateWindow();
    showing = nullptr;
}

// The box is the active window once its own loop runs.
void CALLBACK ScriptedWin32Screen::PressOk(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = GetActiveWindow();
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (std::string(className) != "#32770") return;
    KillTimer(nullptr, timer);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void CALLBACK ScriptedWin32Screen::LookAtTemplate(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const TfmTemplate& window = *showing->TemplateForm();
    const HWND main = showing->MainForm()->Handle();
    TemplateSeen seen{IsWindowVisible(window.Handle()) != FALSE,
                      IsWindowEnabled(main) != FALSE,
                      WindowText(window.RzMemo1),
                      {},
                      {},
                      nullptr,
                      false};
    GetWindowRect(window.Handle(), &seen.frame);
    GetWindowRect(main, &seen.mainFrame);
    for (HWND button : showing->templateButtons) SendMessageA(button, BM_CLICK, 0, 0);
    seen.focusAfterButtons = GetFocus();
    SendMessageA(window.bClose, BM_CLICK, 0, 0);
    seen.closedByButton = !IsWindowVisible(window.Handle());
    // A window the button left open would keep the test waiting for ever.
    if (!seen.closedByButton) ShowWindow(window.Handle(), SW_HIDE);
    showing->templates.push_back(seen);
}

}  // namespace bq::win32
