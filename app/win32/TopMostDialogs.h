// The common file and printer dialogs, kept above every other window so
// that a program that started this one from the command line cannot hide
// them. While one is open its window handle is in ActiveDialogHandle.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "shell/screen.h"

// The window handle of the open dialog, or 0.
extern HWND ActiveDialogHandle;

namespace bq::win32 {

// The open-file dialog; the chosen path, or nothing when cancelled.
std::optional<std::string> RunOpenDialog(HWND owner, const shell::FileDialog& dialog);

// The save-file dialog, asking before an existing file is replaced.
std::optional<std::string> RunSaveDialog(HWND owner, const shell::FileDialog& dialog);

// The printer set-up dialog; the device context of the chosen printer and
// its name, or a null context when cancelled.
struct ChosenPrinter {
    HDC dc = nullptr;
    std::string name;
};
ChosenPrinter RunPrinterSetupDialog(HWND owner);

}  // namespace bq::win32
