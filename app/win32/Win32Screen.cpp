#include "app/win32/Win32Screen.h"

#include "app/win32/Controls.h"
#include "app/win32/TopMostDialogs.h"
#include "app/win32/Win32PrintJob.h"
#include "app/win32/uBQDataMerge.h"
#include "app/win32/uBQDataMergeTemplate.h"

namespace bq::win32 {
namespace {

UINT IconFlag(shell::Icon icon) {
    switch (icon) {
        case shell::Icon::None:
            return 0;
        case shell::Icon::Warning:
            return MB_ICONWARNING;
        case shell::Icon::Stop:
            return MB_ICONERROR;
        case shell::Icon::Question:
            return MB_ICONQUESTION;
    }
    return 0;
}

}  // namespace

void Win32Screen::SetWindows(TForm1* mainWindow, TfmTemplate* templateWindow) {
    main_ = mainWindow;
    template_ = templateWindow;
}

HWND Win32Screen::Owner() const {
    if (template_ && IsWindowVisible(template_->Handle())) return template_->Handle();
    return main_ ? main_->Handle() : nullptr;
}

shell::Answer Win32Screen::Message(std::string_view caption, std::string_view text, shell::Icon icon,
                                   shell::Buttons buttons) {
    const KeysBack keys;
    const std::string c(caption), t(text);
    const UINT flags = IconFlag(icon) | (buttons == shell::Buttons::YesNo ? MB_YESNO : MB_OK);
    switch (RunMessageBox(Owner(), t, c, flags)) {
        case IDYES:
            return shell::Answer::Yes;
        case IDNO:
            return shell::Answer::No;
        default:
            return buttons == shell::Buttons::YesNo ? shell::Answer::No : shell::Answer::Ok;
    }
}

int Win32Screen::RunMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void Win32Screen::Beep() { MessageBeep(MB_OK); }

// Only painting is done now; the user's input stays queued until the work is over.
void Win32Screen::KeepResponsive() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

void Win32Screen::SetBusy(bool busy) {
    busy_ += busy ? 1 : -1;
    SetCursor(LoadCursor(nullptr, busy_ > 0 ? IDC_WAIT : IDC_ARROW));
}

std::optional<std::string> Win32Screen::ChooseFileToOpen(const shell::FileDialog& dialog) {
    const KeysBack keys;
    return RunOpenDialog(Owner(), dialog);
}

std::optional<std::string> Win32Screen::ChooseFileToSave(const shell::FileDialog& dialog) {
    // The overwrite prompt leaves no window active when it closes.
    const KeysBack keys;
    return RunSaveDialog(Owner(), dialog);
}

std::unique_ptr<shell::PrintJob> Win32Screen::SetUpPrinter() {
    // The common dialog finds the printers itself, with its own feedback.
    const KeysBack keys;
    ChosenPrinter printer = RunPrinterSetupDialog(Owner());
    if (!printer.dc) return nullptr;
    return std::make_unique<Win32PrintJob>(printer.dc, std::move(printer.name));
}

void Win32Screen::ShowTemplateWindow() {
    if (template_) template_->RunModal();
}

void Win32Screen::CloseMainWindow() {
    if (main_) PostMessageA(main_->Handle(), WM_CLOSE, 0, 0);
}

void Win32Screen::Redraw(shell::MainWindowPart part) {
    if (main_) main_->Redraw(part);
}

}  // namespace bq::win32
