// The Win32 screen with its modal runs answered from queues filled in
// advance. Message boxes are recorded as MessageBoxA would be given them;
// the template window runs its own loop, is looked at while it is up, and
// is closed with its Close button.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/Win32Screen.h"
#include "tests/script.h"

namespace bq::win32 {

class ScriptedWin32Screen : public Win32Screen {
  public:
    struct Box {
        std::string caption;
        std::string text;
        UINT flags;  // icon and buttons
        HWND owner;
        bool busy;  // the hour-glass was up
    };
    struct FileDialogSeen {
        shell::FileDialog wanted;
        bool save;
    };
    // The template window as the user saw it while it was up.
    struct TemplateSeen {
        bool visible;
        bool mainEnabled;
        std::string memo;
        RECT frame;
        RECT mainFrame;
        HWND focusAfterButtons;  // who has the keys once the buttons' work is done
        bool closedByButton;
    };

    test::Replies<int> answers;        // IDYES or IDNO; an unanswered question gets IDNO
    std::function<void()> whileAsked;  // runs while each question is up, before its answer
    test::Replies<std::string> files;  // an empty name, or none, cancels
    std::vector<Box> boxes;
    std::vector<FileDialogSeen> fileDialogs;
    int printDialogs = 0;  // each cancelled
    std::vector<TemplateSeen> templates;
    // OK boxes shown for real, each closed with OK as soon as it is up.
    bool realBoxes = false;
    // Buttons of the template window pressed, in order, while it is up, before Close.
    std::vector<HWND> templateButtons;

    std::optional<std::string> ChooseFileToOpen(const shell::FileDialog& dialog) override;
    std::optional<std::string> ChooseFileToSave(const shell::FileDialog& dialog) override;
    std::unique_ptr<shell::PrintJob> SetUpPrinter() override;
    void ShowTemplateWindow() override;

  protected:
    int RunMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) override;

  private:
    static void CALLBACK LookAtTemplate(HWND, UINT, UINT_PTR timer, DWORD);
    static void CALLBACK PressOk(HWND, UINT, UINT_PTR timer, DWORD);
    std::optional<std::string> Choose(const shell::FileDialog& dialog, bool save);
};

}  // namespace bq::win32
