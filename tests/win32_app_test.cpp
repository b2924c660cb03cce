// The Win32 front end's wiring: the real windows and controls, driven with
// the messages a user's clicks and keys produce, the boxes answered by a
// script. The flows themselves are tested with the shell.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/win32/Controls.h"
#include "app/win32/TopMostDialogs.h"
#include "app/win32/uBQDataMerge.h"
#include "app/win32/uBQDataMergeTemplate.h"
#include "schema/form_catalogue.h"
#include "schema/type_codes.h"
#include "tests/sample_1099a.h"
#include "tests/scripted_screen.h"
#include "tests/scripted_win32_screen.h"
#include "tests/temp_folder.h"
#include "verify/merge_output.h"

using bq::win32::ScriptedWin32Screen;
using bq::win32::WindowText;

namespace {

// "WIDTHxHEIGHT" of a window's client area.
std::string ClientSize(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return std::to_string(r.right) + "x" + std::to_string(r.bottom);
}

// "LEFT,TOP WIDTHxHEIGHT" of a control in its parent's client area.
std::string PlaceOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top);
}

std::string Joined(const std::vector<std::string>& lines, const std::string& separator) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? separator : "") + lines[i];
    return text;
}

// The last test's main window, destroyed, asked the thread to quit; a
// modal loop of this test would end at once.
void ForgetQueuedMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) continue;
}

class Win32AppTest : public bq::test::TempFolder {
  protected:
    Win32AppTest() {
        screen.SetWindows(&form, &fmTemplate);
        ForgetQueuedMessages();
    }

    // What the program's message loop does with the queued messages.
    void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                continue;
            }
            if (IsWindow(form.Handle()) && IsDialogMessageA(form.Handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // Keys typed into the selector's edit field.
    void Type(const std::string& keys) {
        for (char key : keys) SendMessageA(SelectorEdit(), WM_CHAR, static_cast<unsigned char>(key), 1);
    }
    // The selector's edit field.
    HWND SelectorEdit() {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(form.coForm, &info);
        return info.hwndItem;
    }
    // The part of the selector's text that is selected.
    std::string SelectedText() {
        DWORD start = 0, end = 0;
        SendMessageA(form.coForm, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return WindowText(form.coForm).substr(start, end - start);
    }
    // The user picks `position` in the drop-down list.
    void Pick(int position) {
        SendMessageA(form.coForm, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(form.coForm), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(form.coForm));
    }
    void Tick(size_t row, bool on) { ListView_SetCheckState(form.lvDestination, static_cast<int>(row), on); }
    bool Ticked(size_t row) { return ListView_GetCheckState(form.lvDestination, static_cast<int>(row)) != 0; }
    void Select(size_t row) {
        ListView_SetItemState(form.lvDestination, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    int SelectedRow() { return ListView_GetNextItem(form.lvDestination, -1, LVNI_SELECTED); }
    int Rows() { return ListView_GetItemCount(form.lvDestination); }
    std::string RowText(size_t row) {
        char text[512] = "";
        ListView_GetItemText(form.lvDestination, static_cast<int>(row), 0, text, sizeof text);
        return text;
    }
    std::string Header() {
        char text[512] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(form.lvDestination, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        return text;
    }
    static void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
    static bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
    static std::string HintOf(char code) { return std::string(bq::FindTypeCode(code)->hint); }

    ScriptedWin32Screen screen;
    bq::test::RecordingRegistry registry;
    bq::shell::TemplateWindow templateWindow{screen};
    bq::shell::MainWindow window{screen, templateWindow, "C:\\Programs\\BQ2018DM.exe", &registry};
    bq::win32::TForm1 form{window, {}};
    bq::win32::TfmTemplate fmTemplate{templateWindow, form.Handle()};
    bool quit = false;
};

const std::string kErrorCaption = "Brisquill Data Merge Module ";
const std::string kNoFormCaption = "TO CREATE A NEW TEMPLATE, SELECT A TAX FORM FROM THE DROP DOWN LIST";
const std::string kFormCaption = "CHECK ALL FIELDS FOR WHICH YOU WILL BE SUPPLYING DATA";

TEST_F(Win32AppTest, MainWindowHasItsDesignedLayout) {
    EXPECT_EQ(WindowText(form.Handle()), "Brisquill Data Merge Module [ 2018 ]");
    EXPECT_EQ(ClientSize(form.Handle()), "678x419");
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    EXPECT_EQ(PlaceOf(form.coForm).substr(0, 9), "8,10 102x");
    EXPECT_EQ(PlaceOf(form.lvDestination), "118,10 549x380");
    EXPECT_EQ(PlaceOf(form.TypeStatus), "118,394 552x19");
    EXPECT_EQ(PlaceOf(form.bDisplay), "8,333 102x25");
    EXPECT_EQ(PlaceOf(form.bVerify), "8,364 102x25");
    EXPECT_EQ(WindowText(form.bDisplay), "&Display Template");
    EXPECT_EQ(WindowText(form.bVerify), "&Verify an Extract");
    EXPECT_FALSE(Enabled(form.bDisplay));
    EXPECT_TRUE(Enabled(form.bVerify));
    EXPECT_EQ(WindowText(form.coForm), "");
    EXPECT_EQ(WindowText(form.TypeStatus), "");
}

TEST_F(Win32AppTest, MainWindowComesUpCentredWithAWindowColouredHintPane) {
    form.Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    RECT frame, area;
    GetWindowRect(form.Handle(), &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_LE(std::abs((frame.left - area.left) - (area.right - frame.right)), 1);
    EXPECT_LE(std::abs((frame.top - area.top) - (area.bottom - frame.bottom)), 1);
    HDC dc = GetDC(form.TypeStatus);
    EXPECT_EQ(SendMessageA(form.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(form.TypeStatus)),
              reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
    ReleaseDC(form.TypeStatus, dc);
    EXPECT_TRUE(screen.boxes.empty());
}

TEST_F(Win32AppTest, FieldListIsOneColumnWithCheckBoxes) {
    const HWND header = ListView_GetHeader(form.lvDestination);
    EXPECT_EQ(Header_GetItemCount(header), 1);
    EXPECT_EQ(Header(), kNoFormCaption);
    EXPECT_GE(ListView_GetColumnWidth(form.lvDestination, 0), 300);
    const DWORD extended = ListView_GetExtendedListViewStyle(form.lvDestination);
    EXPECT_EQ(extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const LONG_PTR style = GetWindowLongPtrA(form.lvDestination, GWL_STYLE);
    EXPECT_EQ(style & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_EDITLABELS), LVS_REPORT | LVS_SINGLESEL);
    EXPECT_EQ(Rows(), 0);
}

TEST_F(Win32AppTest, SelectorOffersTheVisibleFormsInUpperCase) {
    ASSERT_EQ(SendMessageA(form.coForm, CB_GETCOUNT, 0, 0), 33);
    for (int i = 0; i < 33; ++i) {
        char item[64] = "";
        SendMessageA(form.coForm, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(item, std::string(bq::FormNames[static_cast<size_t>(i + 4)])) << "row " << i;
    }
    EXPECT_EQ(SendMessageA(form.coForm, CB_GETMINVISIBLE, 0, 0), 37);
}

TEST_F(Win32AppTest, PickingAFormListsItsFieldsUnticked) {
    Pick(9);  // 1099-A
    EXPECT_EQ(WindowText(form.coForm), "1099-A");
    EXPECT_EQ(Header(), kFormCaption);
    const std::vector<bq::FieldDescriptor> fields = bq::FormFields(bq::test::k1099A);
    ASSERT_EQ(Rows(), static_cast<int>(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(RowText(i), bq::CaptionOf(fields[i])) << "row " << i;
        EXPECT_FALSE(Ticked(i)) << "row " << i;
    }
    EXPECT_EQ(WindowText(form.TypeStatus), "");
    EXPECT_FALSE(Enabled(form.bDisplay));
}

TEST_F(Win32AppTest, TypingCompletesToTheFirstFormBeginningWithTheText) {
    Type("1099-i");
    EXPECT_EQ(WindowText(form.coForm), "1099-INT");
    EXPECT_EQ(SelectedText(), "NT");
    EXPECT_EQ(window.Session().FormIndex(), 19);
    EXPECT_EQ(Rows(), static_cast<int>(bq::FormFields(19).size()));
    EXPECT_EQ(Header(), kFormCaption);
}

TEST_F(Win32AppTest, BackspaceRemovesTheOfferedRestAndKeepsTheForm) {
    Type("1099-i\b");
    EXPECT_EQ(WindowText(form.coForm), "1099-I");
    EXPECT_EQ(SelectedText(), "");
    EXPECT_EQ(window.Session().FormIndex(), 19);
}

TEST_F(Win32AppTest, TextBeginningNoFormShowsAnEmptyList) {
    Type("1099-i");
    SendMessageA(form.coForm, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    Type("zz");
    EXPECT_EQ(WindowText(form.coForm), "ZZ");
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Header(), kNoFormCaption);
}

TEST_F(Win32AppTest, PickingTheShownFormAgainKeepsTheTicks) {
    Pick(9);
    Tick(2, true);
    Pick(9);
    EXPECT_TRUE(Ticked(2));
    EXPECT_TRUE(Enabled(form.bDisplay));
}

TEST_F(Win32AppTest, TabGoesFromTheSelectorToTheButtonsAndTheList) {
    Pick(9);
    Tick(0, true);  // a disabled button is no tab stop
    std::vector<HWND> order{form.coForm};
    for (int i = 0; i < 4; ++i) order.push_back(GetNextDlgTabItem(form.Handle(), order.back(), FALSE));
    EXPECT_EQ(order,
              (std::vector<HWND>{form.coForm, form.bDisplay, form.bVerify, form.lvDestination, form.coForm}));
}

TEST_F(Win32AppTest, TicksDriveTheHintPaneAndTheDisplayButton) {
    Pick(9);
    const size_t text = bq::test::FieldOfCode('$'), money = bq::test::FieldOfCode('c');
    Tick(text, true);
    EXPECT_EQ(SelectedRow(), static_cast<int>(text));
    EXPECT_EQ(WindowText(form.TypeStatus), HintOf('$'));
    EXPECT_TRUE(Enabled(form.bDisplay));

    Tick(money, true);
    EXPECT_EQ(WindowText(form.TypeStatus), HintOf('c'));
    Tick(money, false);
    EXPECT_EQ(WindowText(form.TypeStatus), "");
    EXPECT_TRUE(Enabled(form.bDisplay));
    Tick(text, false);
    EXPECT_FALSE(Enabled(form.bDisplay));
    EXPECT_EQ(window.Session().CountCheckedFields(), 0u);
}

TEST_F(Win32AppTest, SelectingARowShowsItsHint) {
    Pick(9);
    Select(bq::test::FieldOfCode('D'));
    EXPECT_EQ(WindowText(form.TypeStatus), HintOf('D'));
}

TEST_F(Win32AppTest, VerifiedExtractIsSavedWhenTheUserSaysYes) {
    const std::string path = Write("good.txt", bq::test::Extract1099A());
    screen.files.push_back(path);
    screen.answers.push_back(IDYES);
    Click(form.bVerify);

    ASSERT_EQ(screen.fileDialogs.size(), 1u);
    EXPECT_FALSE(screen.fileDialogs[0].save);
    ASSERT_EQ(screen.boxes.size(), 2u);
    EXPECT_EQ(screen.boxes[0].caption, "Successful Verification");
    EXPECT_EQ(screen.boxes[0].flags, static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(screen.boxes[0].owner, form.Handle());
    EXPECT_FALSE(screen.boxes[0].busy);
    EXPECT_EQ(screen.boxes[0].text,
              "EXTRACT: " + path +
                  "\r\n\r\nRETURNS: 1099-A\r\nRECORDS: 2\r\n\r\nREPORTING YEAR: 2018\r\n\r\n"
                  "Do you want to save the output for merging with Brisquill?");
    EXPECT_EQ(screen.boxes[1].caption, "Data Extract Import Instructions");
    EXPECT_EQ(screen.boxes[1].flags, static_cast<UINT>(MB_OK));
    EXPECT_EQ(screen.boxes[1].text, bq::ImportInstructions(path, "1099-A"));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"2018DM_good.txt", "good.txt"}));
    EXPECT_EQ(registry.folders, std::vector<std::string>{(dir / "").string()});
    // The window now shows the extract's form and ticks.
    EXPECT_EQ(WindowText(form.coForm), "1099-A");
    EXPECT_TRUE(Ticked(bq::test::FieldOfCode('$')));
    EXPECT_TRUE(Enabled(form.bDisplay));
}

TEST_F(Win32AppTest, AnEndingSessionTakesTheOutputWaitingForAnAnswer) {
    // Windows ends the process after WM_ENDSESSION without unwinding: the
    // finished output, waiting in its temporary file, must go first.
    const std::string path = Write("good.txt", bq::test::Extract1099A());
    screen.files.push_back(path);
    std::vector<std::string> waiting, left;
    screen.whileAsked = [&] {
        waiting = Entries(dir);
        SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
        left = Entries(dir);
    };
    Click(form.bVerify);
    ASSERT_EQ(waiting.size(), 2u);  // the extract and the output's temporary file
    EXPECT_EQ(left, std::vector<std::string>{"good.txt"});
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"good.txt"});
}

TEST_F(Win32AppTest, ExtractOfAnotherFormShowsThatFormAndExactlyItsTicks) {
    Pick(30);  // W-2
    Tick(0, true);
    screen.files.push_back(Write("good.txt", bq::test::Extract1099A()));
    Click(form.bVerify);
    EXPECT_EQ(WindowText(form.coForm), "1099-A");
    EXPECT_EQ(SendMessageA(form.coForm, CB_GETCURSEL, 0, 0), 9);
    ASSERT_EQ(Rows(), static_cast<int>(bq::FormFields(bq::test::k1099A).size()));
    std::vector<int> ticked;
    for (int row = 0; row < Rows(); ++row)
        if (Ticked(static_cast<size_t>(row))) ticked.push_back(row);
    EXPECT_EQ(ticked, std::vector<int>{static_cast<int>(bq::test::FieldOfCode('$'))});
    EXPECT_EQ(Header(), kFormCaption);
}

TEST_F(Win32AppTest, FailedVerificationShowsOneStopBox) {
    const std::string path = Write("bad.txt", "NOT A FORM\r\n");
    screen.files.push_back(path);
    Click(form.bVerify);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, kErrorCaption);
    EXPECT_EQ(screen.boxes[0].flags, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_EQ(screen.boxes[0].text, "FORM segment not found.\r\n\r\nEXTRACT = " + path + ".");
    EXPECT_FALSE(screen.boxes[0].busy);
    EXPECT_FALSE(screen.Busy());
}

TEST_F(Win32AppTest, CommandLineExtractIsSavedAndTheProgramEnds) {
    const std::string path = Write("good.txt", bq::test::Extract1099A());
    bq::win32::TForm1 started(window, " \t" + path + "  ");
    screen.SetWindows(&started, &fmTemplate);
    started.Show();
    Pump();
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, "Data Extract Import Instructions");
    EXPECT_EQ(screen.boxes[0].owner, started.Handle());
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"2018DM_good.txt", "good.txt"}));
    EXPECT_EQ(registry.folders.size(), 1u);
    EXPECT_FALSE(IsWindow(started.Handle()));
    EXPECT_TRUE(quit);
}

TEST_F(Win32AppTest, MissingCommandLineExtractLeavesTheWindowOpen) {
    const std::string path = (dir / "gone.txt").string();
    bq::win32::TForm1 started(window, path);
    screen.SetWindows(&started, &fmTemplate);
    started.Show();
    Pump();
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, "Brisquill Data Merge Module [ 2018 ]");
    EXPECT_EQ(screen.boxes[0].flags, static_cast<UINT>(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(screen.boxes[0].text,
              "Failed to open data extract:\r\n\r\n" + path +
                  "\r\n\r\nUsage: BQ2018DM.exe \"File specification\"\r\n\r\n"
                  "\"File specification\" = fully qualified file name of your data extract!");
    EXPECT_TRUE(IsWindowVisible(started.Handle()));
    EXPECT_FALSE(quit);
}

TEST_F(Win32AppTest, TemplateWindowShowsTheTemplateOverTheMainWindow) {
    EXPECT_EQ(WindowText(fmTemplate.Handle()), "Data Extract Template");
    EXPECT_EQ(ClientSize(fmTemplate.Handle()), "688x446");
    EXPECT_EQ(WindowText(fmTemplate.bPrint), "&Print");
    EXPECT_EQ(WindowText(fmTemplate.bSave), "&Save");
    EXPECT_EQ(WindowText(fmTemplate.bClose), "&Close");
    EXPECT_EQ(PlaceOf(fmTemplate.bPrint), "10,413 75x25");
    EXPECT_EQ(PlaceOf(fmTemplate.bSave), "93,413 75x25");
    EXPECT_EQ(PlaceOf(fmTemplate.bClose), "604,413 75x25");
    const LONG_PTR memoStyle = GetWindowLongPtrA(fmTemplate.RzMemo1, GWL_STYLE);
    EXPECT_EQ(memoStyle & (ES_READONLY | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP),
              ES_READONLY | WS_HSCROLL | WS_VSCROLL);

    Pick(9);
    Tick(bq::test::FieldOfCode('$'), true);
    Click(form.bDisplay);
    ASSERT_EQ(screen.templates.size(), 1u);
    const ScriptedWin32Screen::TemplateSeen& seen = screen.templates[0];
    EXPECT_TRUE(seen.visible);
    EXPECT_FALSE(seen.mainEnabled);
    EXPECT_EQ(seen.frame.left, seen.mainFrame.left);
    EXPECT_EQ(seen.frame.top, seen.mainFrame.top);
    EXPECT_EQ(seen.memo.substr(0, seen.memo.find("\r\n\r\n")),
              "FORM 1099-A\r\nKEY 02310000000000000000000000\r\n{BEGIN DATA}\r\nName line 1\r\n{END DATA}");
    EXPECT_EQ(seen.memo, Joined(templateWindow.Lines(), "\r\n"));
    EXPECT_TRUE(seen.closedByButton);
    EXPECT_TRUE(Enabled(form.Handle()));
}

TEST_F(Win32AppTest, KeysGoToTheSelectorFirstAndBackToTheButtonAfterTheTemplate) {
    form.Show();
    Pump();
    EXPECT_EQ(GetFocus(), SelectorEdit());
    Pick(9);
    Tick(0, true);
    SetFocus(form.bDisplay);
    Click(form.bDisplay);
    Pump();
    ASSERT_EQ(screen.templates.size(), 1u);
    EXPECT_EQ(GetFocus(), form.bDisplay);
}

TEST_F(Win32AppTest, KeysComeBackToTheButtonWhenItsBoxCloses) {
    form.Show();
    Pump();
    screen.realBoxes = true;
    screen.files.push_back(Write("bad.txt", "NOT A FORM\r\n"));
    SetFocus(form.bVerify);
    Click(form.bVerify);
    Pump();
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(GetFocus(), form.bVerify);
}

TEST_F(Win32AppTest, TemplateIsShownInBoldCourierNew13PixelsHigh) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(fmTemplate.RzMemo1, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(std::string(font.lfFaceName), "Courier New");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -13);
}

TEST_F(Win32AppTest, FailedSaveIsToldOverTheTemplateWhichKeepsTheKeysOnSave) {
    Pick(9);
    Tick(0, true);
    screen.files.push_back(dir.string());  // a folder cannot be written as a file
    screen.templateButtons.push_back(fmTemplate.bSave);
    screen.realBoxes = true;
    Click(form.bDisplay);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, kErrorCaption);
    EXPECT_EQ(screen.boxes[0].owner, fmTemplate.Handle());
    ASSERT_EQ(screen.templates.size(), 1u);
    EXPECT_EQ(screen.templates[0].focusAfterButtons, fmTemplate.bSave);
    EXPECT_TRUE(screen.templates[0].closedByButton);
}

TEST_F(Win32AppTest, SavedTemplateHasEveryLineEndedByCrLf) {
    templateWindow.Fill({"FORM W-2", "KEY 00210", "{BEGIN DATA}"});
    const std::string path = (dir / "t.txt").string();
    screen.files.push_back(path);
    Click(fmTemplate.bSave);
    ASSERT_EQ(screen.fileDialogs.size(), 1u);
    EXPECT_TRUE(screen.fileDialogs[0].save);
    EXPECT_EQ(screen.fileDialogs[0].wanted.title, "SAVE FORM W-2 TEMPLATE");
    EXPECT_EQ(Read(path), "FORM W-2\r\nKEY 00210\r\n{BEGIN DATA}\r\n");
    EXPECT_TRUE(screen.boxes.empty());
}

TEST_F(Win32AppTest, CancelledPrinterSetUpPrintsNothing) {
    templateWindow.Fill({"FORM W-2"});
    Click(fmTemplate.bPrint);
    EXPECT_EQ(screen.printDialogs, 1);
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_FALSE(screen.Busy());
}

// The common dialogs for real: a timer looks at the open dialog from inside
// its loop, as a user would see it, and answers it.
struct Seen {
    bool noted = false;  // the dialog was ActiveDialogHandle
    std::string caption;
    bool topMost = false;
    std::vector<std::string> types;  // the file-type list
    std::string name;                // the file name offered
};

class TopMostDialogTest : public bq::test::TempFolder {
  protected:
    TopMostDialogTest() { ForgetQueuedMessages(); }

    // Runs `run` with the dialog answered by typing `name` and OK, or by Cancel when `name` is empty.
    template <typename Run>
    auto Answered(const std::string& name, Run run) {
        answer = name;
        tries = 0;
        seen = Seen{};
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Answer);
        return run();
    }

    static void CALLBACK Answer(HWND, UINT, UINT_PTR timer, DWORD) {
        const HWND dialog = ActiveDialogHandle;
        // Up to 10 s for the dialog to come up; then the test fails on what it saw.
        if ((!dialog || !IsWindowVisible(dialog)) && ++tries < 1000) return;
        KillTimer(nullptr, timer);
        if (!dialog) {
            // Whatever came up unnoted is cancelled, so that the test ends.
            PostMessageA(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
            return;
        }
        seen.noted = true;
        seen.caption = WindowText(dialog);
        seen.topMost = (GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        const HWND types = GetDlgItem(dialog, cmb1);
        for (LRESULT i = 0; i < SendMessageA(types, CB_GETCOUNT, 0, 0); ++i) {
            char text[256] = "";
            SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            seen.types.push_back(text);
        }
        HWND name = GetDlgItem(dialog, cmb13);
        if (!name) name = GetDlgItem(dialog, edt1);
        seen.name = WindowText(name);
        if (!answer.empty()) SetWindowTextA(name, answer.c_str());
        PostMessageA(dialog, WM_COMMAND, answer.empty() ? IDCANCEL : IDOK, 0);
    }

    static inline std::string answer;
    static inline int tries = 0;
    static inline Seen seen;
};

TEST_F(TopMostDialogTest, OpenDialogIsTopMostAndOffersTheExtractTypes) {
    const std::string path = Write("good.txt", "");
    const std::optional<std::string> chosen =
        Answered(path, [] { return bq::win32::RunOpenDialog(nullptr, bq::shell::ExtractOpenDialog()); });
    EXPECT_TRUE(seen.noted);  // under the system's own title, in the system's language
    EXPECT_TRUE(seen.topMost);
    EXPECT_EQ(seen.types, (std::vector<std::string>{"Text files (*.txt)", "All files (*.*)"}));
    EXPECT_EQ(seen.name, "");
    EXPECT_EQ(chosen, path);
    EXPECT_EQ(ActiveDialogHandle, nullptr);
}

TEST_F(TopMostDialogTest, SaveDialogProposesTheTemplateNameAndAddsTheExtension) {
    bq::test::ScriptedScreen unused;
    bq::shell::TemplateWindow window(unused);
    window.Fill({"FORM W-2"});
    const std::optional<std::string> chosen = Answered(
        (dir / "mine").string(), [&] { return bq::win32::RunSaveDialog(nullptr, window.SaveDialog()); });
    EXPECT_EQ(seen.caption, "SAVE FORM W-2 TEMPLATE");
    EXPECT_TRUE(seen.topMost);
    EXPECT_EQ(seen.types, std::vector<std::string>{"Text Files"});
    EXPECT_EQ(seen.name, "FORM W-2 TEMPLATE.txt");
    // A name typed without extension gains one: that of the chosen file type, as on Windows.
    EXPECT_EQ(chosen, (dir / "mine.txt").string());
}

TEST_F(TopMostDialogTest, CancelledDialogChoosesNothing) {
    const std::optional<std::string> chosen =
        Answered("", [] { return bq::win32::RunOpenDialog(nullptr, bq::shell::ExtractOpenDialog()); });
    EXPECT_TRUE(seen.noted);
    EXPECT_EQ(chosen, std::nullopt);
    EXPECT_EQ(ActiveDialogHandle, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
