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
#include "app/win32/Win32PrintJob.h"
#include "app/win32/uBQDataMerge.h"
#include "app/win32/uBQDataMergeTemplate.h"
#include "schema/form_catalogue.h"
#include "schema/type_codes.h"
#include "shell/window_design.h"
#include "tests/print_queue.h"
#include "tests/samples.h"
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

// The display's dpi, which the windows take as they are per-monitor aware.
int Dpi(HWND window) { return static_cast<int>(GetDpiForWindow(window)); }

// "WIDTHxHEIGHT" of the designed 96-dpi size at `dpi`.
std::string SizeAt(int dpi, int width, int height) {
    return std::to_string(bq::shell::Scaled(width, dpi)) + "x" +
           std::to_string(bq::shell::Scaled(height, dpi));
}

// "LEFT,TOP WIDTHxHEIGHT" of the designed 96-dpi place at `dpi`.
std::string PlaceAt(int dpi, int left, int top, int width, int height) {
    const bq::shell::Place p = bq::shell::Scaled(bq::shell::Place{left, top, width, height}, dpi);
    return std::to_string(p.left) + "," + std::to_string(p.top) + " " + std::to_string(p.width) + "x" +
           std::to_string(p.height);
}

// The pixel height of the font `control` draws in.
int FontHeight(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

// The width of `text` drawn in the font of `control`, '&' taken as the
// mnemonic it is.
int TextWidth(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return r.right;
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
    const int dpi = Dpi(form.Handle());
    EXPECT_EQ(WindowText(form.Handle()), "Brisquill Data Merge Module [ 2018 ]");
    EXPECT_EQ(ClientSize(form.Handle()), SizeAt(dpi, 678, 419));
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    const std::string selector = PlaceAt(dpi, 8, 10, 102, 21);
    EXPECT_EQ(PlaceOf(form.coForm).substr(0, selector.find('x') + 1),
              selector.substr(0, selector.find('x') + 1));
    EXPECT_EQ(PlaceOf(form.lvDestination), PlaceAt(dpi, 118, 10, 549, 380));
    EXPECT_EQ(PlaceOf(form.TypeStatus), PlaceAt(dpi, 118, 394, 552, 19));
    EXPECT_EQ(PlaceOf(form.bDisplay), PlaceAt(dpi, 8, 333, 102, 25));
    EXPECT_EQ(PlaceOf(form.bVerify), PlaceAt(dpi, 8, 364, 102, 25));
    // Arial 8 pt at the display's dpi.
    EXPECT_EQ(FontHeight(form.bVerify), -((8 * dpi + 36) / 72));
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
    const std::vector<bq::FieldDescriptor> fields = bq::test::FieldsOf(bq::test::k1099A);
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
    EXPECT_EQ(window.Session().Selection().FormIndex(), 19);
    EXPECT_EQ(Rows(), static_cast<int>(bq::test::FieldsOf(19).size()));
    EXPECT_EQ(Header(), kFormCaption);
}

TEST_F(Win32AppTest, BackspaceRemovesTheOfferedRestAndKeepsTheForm) {
    Type("1099-i\b");
    EXPECT_EQ(WindowText(form.coForm), "1099-I");
    EXPECT_EQ(SelectedText(), "");
    EXPECT_EQ(window.Session().Selection().FormIndex(), 19);
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
    EXPECT_EQ(window.Session().Selection().CountChecked(), 0u);
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
    ASSERT_EQ(Rows(), static_cast<int>(bq::test::FieldsOf(bq::test::k1099A).size()));
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
    const int dpi = Dpi(fmTemplate.Handle());
    EXPECT_EQ(ClientSize(fmTemplate.Handle()), SizeAt(dpi, 688, 446));
    EXPECT_EQ(WindowText(fmTemplate.bPrint), "&Print");
    EXPECT_EQ(WindowText(fmTemplate.bSave), "&Save");
    EXPECT_EQ(WindowText(fmTemplate.bClose), "&Close");
    EXPECT_EQ(PlaceOf(fmTemplate.RzMemo1), PlaceAt(dpi, 0, 0, 688, 405));
    EXPECT_EQ(PlaceOf(fmTemplate.bPrint), PlaceAt(dpi, 10, 413, 75, 25));
    EXPECT_EQ(PlaceOf(fmTemplate.bSave), PlaceAt(dpi, 93, 413, 75, 25));
    EXPECT_EQ(PlaceOf(fmTemplate.bClose), PlaceAt(dpi, 604, 413, 75, 25));
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

TEST_F(Win32AppTest, TemplateIsShownInBoldCourierNew13PixelsHighAt96Dpi) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(fmTemplate.RzMemo1, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(std::string(font.lfFaceName), "Courier New");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -bq::shell::Scaled(13, Dpi(fmTemplate.Handle())));
}

// The printout is in the memo's font at 9.75 points whatever the screen's
// dpi: here on a device as fine as the screen, which shrank it at 144 dpi.
TEST(Win32PrintJob, PrintsTheMemoFontAtItsDesignedPointSize) {
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const int dotsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    bq::win32::Win32PrintJob job(dc, "DISPLAY");
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_EQ(std::string(font.lfFaceName), "Courier New");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_NEAR(-font.lfHeight * 72.0 / dotsPerInch, 9.75, 0.25) << dotsPerInch << " dpi";
}

// A printer the test script set up, chosen without the dialog.
class QueueScreen : public bq::test::ScriptedScreen {
  public:
    explicit QueueScreen(std::string queue) : queue_(std::move(queue)) {}
    bool made = false;  // the printer's device context
    std::unique_ptr<bq::shell::PrintJob> SetUpPrinter() override {
        HDC dc = CreateDCA("WINSPOOL", queue_.c_str(), nullptr, nullptr);
        if (!dc) return nullptr;
        made = true;
        return std::make_unique<bq::win32::Win32PrintJob>(dc, queue_);
    }

  private:
    std::string queue_;
};

TEST(Win32PrintJob, PrintsOnARealQueue) {
    const std::optional<std::string> queue = bq::test::PrintQueue();
    if (!queue) GTEST_SKIP() << "needs the CUPS queue of tests/print/print-test.sh";
    QueueScreen screen(*queue);
    bq::shell::TemplateWindow window(screen);
    window.Fill(bq::test::PrintedW2cTemplate());
    window.bPrintClick();
    EXPECT_TRUE(screen.made) << "no printer " << *queue;
    EXPECT_EQ(screen.boxes, std::vector<bq::test::ScriptedScreen::Box>{});
}

// Every text fits its control at the display's dpi: the run-tests script
// runs these tests at 96, 120, 144 and 192 dpi.
TEST_F(Win32AppTest, EveryTextFitsItsControl) {
    const int dpi = Dpi(form.Handle());
    std::vector<std::string> cut;
    const auto fits = [&](HWND control, const std::string& text, int room) {
        if (TextWidth(control, text) > room)
            cut.push_back(text + " (" + std::to_string(TextWidth(control, text)) + " > " +
                          std::to_string(room) + ")");
    };
    // A push button keeps its edges and focus frame clear of the caption.
    const auto buttonRoom = [&](HWND button) {
        RECT r;
        GetClientRect(button, &r);
        return r.right - 2 * (GetSystemMetricsForDpi(SM_CXEDGE, dpi) + 1);
    };
    for (HWND button : {form.bDisplay, form.bVerify, fmTemplate.bPrint, fmTemplate.bSave, fmTemplate.bClose})
        fits(button, WindowText(button), buttonRoom(button));
    RECT status;
    GetClientRect(form.TypeStatus, &status);
    for (const bq::TypeCode& code : bq::TypeCodes)
        fits(form.TypeStatus, std::string(bq::TypeHint(code.code)), status.right);
    const int column = ListView_GetColumnWidth(form.lvDestination, 0);
    // The header keeps a margin on either side of its caption.
    const HWND header = ListView_GetHeader(form.lvDestination);
    const int headerMargin = 2 * 3 * GetSystemMetricsForDpi(SM_CXEDGE, dpi);
    for (std::string_view caption : {bq::shell::kNoFormCaption, bq::shell::kFormCaption})
        fits(header, std::string(caption), column - headerMargin);
    COMBOBOXINFO selector{};
    selector.cbSize = sizeof selector;
    GetComboBoxInfo(form.coForm, &selector);
    for (int formIndex = bq::kFirstVisibleForm; formIndex < bq::kFormCount; ++formIndex)
        fits(SelectorEdit(), std::string(bq::FormNames[static_cast<size_t>(formIndex)]),
             selector.rcItem.right - selector.rcItem.left);
    for (int position = 0; position < 33; ++position) {
        Pick(position);
        RECT label;
        ListView_GetItemRect(form.lvDestination, 0, &label, LVIR_LABEL);
        // The label's room in the column, less the list's own margin.
        const int room = column - label.left - 2 * GetSystemMetricsForDpi(SM_CXEDGE, dpi);
        for (int row = 0; row < Rows(); ++row)
            fits(form.lvDestination, RowText(static_cast<size_t>(row)), room);
    }
    EXPECT_EQ(cut, std::vector<std::string>{}) << dpi << " dpi";
}

// Moved to a monitor of another dpi, a window lays itself out again for it,
// fonts and all, and keeps the place Windows proposes.
TEST_F(Win32AppTest, WindowsMovedToAnotherDpiAreLaidOutAgain) {
    const int before = Dpi(form.Handle());
    for (int dpi : {192, before}) {
        for (HWND window : {form.Handle(), fmTemplate.Handle()}) {
            RECT proposed{40, 30, 400, 300};
            SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&proposed));
            RECT frame;
            GetWindowRect(window, &frame);
            EXPECT_EQ(frame.left, 40);
            EXPECT_EQ(frame.top, 30);
        }
        EXPECT_EQ(ClientSize(form.Handle()), SizeAt(dpi, 678, 419)) << dpi;
        EXPECT_EQ(PlaceOf(form.bVerify), PlaceAt(dpi, 8, 364, 102, 25)) << dpi;
        EXPECT_EQ(PlaceOf(form.lvDestination), PlaceAt(dpi, 118, 10, 549, 380)) << dpi;
        EXPECT_EQ(FontHeight(form.bVerify), -((8 * dpi + 36) / 72)) << dpi;
        EXPECT_EQ(ClientSize(fmTemplate.Handle()), SizeAt(dpi, 688, 446)) << dpi;
        EXPECT_EQ(PlaceOf(fmTemplate.bClose), PlaceAt(dpi, 604, 413, 75, 25)) << dpi;
        EXPECT_EQ(FontHeight(fmTemplate.RzMemo1), -bq::shell::Scaled(13, dpi)) << dpi;
    }
}

// A click in a row's check box gives the list the keys, so the next Space
// ticks a row instead of typing into the selector, which would drop the ticks.
TEST_F(Win32AppTest, AClickInACheckBoxGivesTheListTheKeys) {
    form.Show();
    Pump();
    Pick(9);
    ASSERT_EQ(GetFocus(), SelectorEdit());
    RECT row;
    ListView_GetItemRect(form.lvDestination, 1, &row, LVIR_BOUNDS);
    // The check box is the state image, left of the item's icon.
    const LPARAM at = MAKELPARAM(row.left + 8, (row.top + row.bottom) / 2);
    PostMessageA(form.lvDestination, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(form.lvDestination, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(GetFocus(), form.lvDestination);
    EXPECT_TRUE(Ticked(1));
    PostMessageA(form.lvDestination, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(form.lvDestination, WM_KEYUP, VK_SPACE, 0xC0390001);
    Pump();
    EXPECT_FALSE(Ticked(1));
    EXPECT_EQ(WindowText(form.coForm), "1099-A");
    EXPECT_EQ(Rows(), 23);
}

// Tabbing into the list shows the row Space ticks: the first, none being selected.
TEST_F(Win32AppTest, TabbingIntoTheListShowsTheRowThatSpaceTicks) {
    form.Show();
    Pump();
    Pick(9);
    SetFocus(form.bVerify);
    PostMessageA(form.bVerify, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageA(form.bVerify, WM_KEYUP, VK_TAB, 0xC00F0001);
    Pump();
    ASSERT_EQ(GetFocus(), form.lvDestination);
    EXPECT_EQ(ListView_GetNextItem(form.lvDestination, -1, LVNI_FOCUSED), 0);
    PostMessageA(form.lvDestination, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(form.lvDestination, WM_KEYUP, VK_SPACE, 0xC0390001);
    Pump();
    EXPECT_TRUE(Ticked(0));
    EXPECT_TRUE(Enabled(form.bDisplay));
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
