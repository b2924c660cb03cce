// The desktop program on Windows: the main window and the template window
// live for the whole process; closing the main window ends it.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/Win32Screen.h"
#include "app/win32/uBQDataMerge.h"
#include "app/win32/uBQDataMergeTemplate.h"
#include "shell/command_line.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    bq::win32::Win32Screen screen;
    bq::shell::TemplateWindow templateWindow(screen);
    char program[MAX_PATH] = "BQ2018DM.exe";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    bq::shell::MainWindow mainWindow(screen, templateWindow, program);
    bq::win32::TForm1 form1(mainWindow, bq::shell::FirstArgument(GetCommandLineA()));
    bq::win32::TfmTemplate fmTemplate(templateWindow, form1.Handle());
    screen.SetWindows(&form1, &fmTemplate);
    form1.Show();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab, the accelerators and Return work as in a dialog.
        if (IsDialogMessageA(form1.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // Callers look at the output file and the registry, never at the status.
    return 0;
}
