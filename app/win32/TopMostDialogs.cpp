#include "app/win32/TopMostDialogs.h"

#include <commdlg.h>

#include <vector>

HWND ActiveDialogHandle = nullptr;

namespace bq::win32 {
namespace {

// Shows and closes are noted from inside the dialog through its hook.
UINT_PTR CALLBACK FileDialogHook(HWND hook, UINT message, WPARAM, LPARAM) {
    // The hook gets the explorer dialog's child; the dialog is its parent.
    if (message == WM_INITDIALOG) {
        ActiveDialogHandle = GetParent(hook);
        SetWindowPos(ActiveDialogHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else if (message == WM_DESTROY) {
        ActiveDialogHandle = nullptr;
    }
    return 0;
}

UINT_PTR CALLBACK PrinterDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        ActiveDialogHandle = dialog;
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else if (message == WM_DESTROY) {
        ActiveDialogHandle = nullptr;
    }
    return 0;
}

// "Description|pattern|..." as the dialogs take it: NUL-separated, two NULs at the end.
std::string FilterOf(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    out.append(2, '\0');
    return out;
}

std::optional<std::string> Run(HWND owner, const shell::FileDialog& wanted, bool save) {
    std::vector<char> file(32768, '\0');
    wanted.proposedName.copy(file.data(), std::min(wanted.proposedName.size(), file.size() - 1));
    const std::string filter = FilterOf(wanted.filter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = wanted.title.empty() ? nullptr : wanted.title.c_str();
    ofn.lpstrDefExt = wanted.defaultExtension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (save) ofn.Flags |= OFN_OVERWRITEPROMPT;
    ofn.lpfnHook = FileDialogHook;
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    ActiveDialogHandle = nullptr;
    if (!chosen) return std::nullopt;
    return std::string(file.data());
}

}  // namespace

std::optional<std::string> RunOpenDialog(HWND owner, const shell::FileDialog& dialog) {
    return Run(owner, dialog, false);
}

std::optional<std::string> RunSaveDialog(HWND owner, const shell::FileDialog& dialog) {
    return Run(owner, dialog, true);
}

ChosenPrinter RunPrinterSetupDialog(HWND owner) {
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.Flags = PD_PRINTSETUP | PD_RETURNDC | PD_ENABLESETUPHOOK;
    pd.lpfnSetupHook = PrinterDialogHook;
    const BOOL chosen = PrintDlgA(&pd);
    ActiveDialogHandle = nullptr;
    ChosenPrinter printer;
    if (chosen) {
        printer.dc = pd.hDC;
        if (pd.hDevNames) {
            const auto* names = static_cast<const DEVNAMES*>(GlobalLock(pd.hDevNames));
            printer.name = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
            GlobalUnlock(pd.hDevNames);
        }
    }
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return printer;
}

}  // namespace bq::win32
