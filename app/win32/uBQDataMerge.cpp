#include "app/win32/uBQDataMerge.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/Controls.h"
#include "platform/files.h"
#include "shell/messages.h"

namespace bq::win32 {
namespace {

enum ControlId { kForm = 101, kList, kStatus, kDisplay, kVerify };
constexpr UINT kRunCommandLine = WM_APP + 1;
constexpr char kClassName[] = "TForm1";

// The check box of a list row is its state image: 1 unticked, 2 ticked.
constexpr UINT StateImageOf(bool ticked) { return INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1); }

// A click anywhere in the list, a row's check box included, gives the list
// the keys before it is handled, as a native list does: the next Space
// then ticks a row instead of typing into the selector.
LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if ((message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_LBUTTONDBLCLK) &&
        GetFocus() != list)
        SetFocus(list);
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

TForm1::TForm1(shell::MainWindow& window, std::string argument)
    : window_(window), argument_(std::move(argument)) {
    static const ATOM registered = [] {
        WNDCLASSEXA c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = WindowProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.hCursor = LoadCursor(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        c.lpszClassName = kClassName;
        return RegisterClassExA(&c);
    }();
    (void)registered;
    const std::string caption = MainWindowCaption();
    // Made at any size that leaves room for the frame, which Layout
    // measures to give the client area its designed size.
    hwnd_ = CreateWindowExA(0, kClassName, caption.c_str(),
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT,
                            CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    CreateControls();
    Layout(DpiOf(hwnd_));
}

TForm1::~TForm1() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void TForm1::CreateControls() {
    namespace design = shell::main_window;
    coForm = CreateControl(hwnd_, WC_COMBOBOXA, design::kForm.caption,
                           WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_UPPERCASE | CBS_AUTOHSCROLL, kForm);
    for (std::string_view name : shell::FormSelector::Items())
        SendMessageA(coForm, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(name).c_str()));
    SendMessageA(coForm, CB_SETMINVISIBLE, shell::FormSelector::kDropDownRows, 0);
    bDisplay = CreateControl(hwnd_, WC_BUTTONA, design::kDisplay.caption,
                             WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, kDisplay);
    bVerify = CreateControl(hwnd_, WC_BUTTONA, design::kVerify.caption, WS_TABSTOP | BS_PUSHBUTTON, kVerify);
    lvDestination =
        CreateControl(hwnd_, WC_LISTVIEWA, design::kList.caption,
                      WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, kList,
                      WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(lvDestination, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetWindowSubclass(lvDestination, ListProc, 0, 0);
    const std::string caption(shell::kNoFormCaption);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = design::kMinimumColumnWidth;
    column.pszText = const_cast<char*>(caption.c_str());
    SendMessageA(lvDestination, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    TypeStatus = CreateControl(hwnd_, WC_STATICA, design::kStatus.caption,
                               SS_LEFT | SS_SUNKEN | SS_CENTERIMAGE | SS_NOPREFIX, kStatus);
    // The selector, first in the tab order, has the keys at first.
    keys_ = KeyFocus(hwnd_, coForm);
}

// Every control at its designed place and in its designed font at `dpi`,
// and the window at its designed client size.
void TForm1::Layout(int dpi) {
    namespace design = shell::main_window;
    fonts_.MakeFor(dpi);
    ApplyDesignedClientSize(hwnd_, design::kClient, dpi);
    Lay(coForm, design::kForm, fonts_);
    // A drop-down combo box's window holds its list too, of up to 37 rows.
    RECT edit;
    GetWindowRect(coForm, &edit);
    const int rows = shell::FormSelector::kDropDownRows;
    const auto rowHeight = static_cast<int>(SendMessageA(coForm, CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(coForm, nullptr, 0, 0, edit.right - edit.left, edit.bottom - edit.top + rows * rowHeight + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Lay(bDisplay, design::kDisplay, fonts_);
    Lay(bVerify, design::kVerify, fonts_);
    Lay(lvDestination, design::kList, fonts_);
    Lay(TypeStatus, design::kStatus, fonts_);
    // The one column fills the list's width, the scroll bar's aside.
    RECT inside;
    GetClientRect(lvDestination, &inside);
    const int scrollBar = GetSystemMetricsForDpi(SM_CXVSCROLL, static_cast<UINT>(dpi));
    ListView_SetColumnWidth(
        lvDestination, 0,
        std::max<int>(shell::Scaled(design::kMinimumColumnWidth, dpi), inside.right - scrollBar));
}

void TForm1::Show() {
    RECT frame, area;
    GetWindowRect(hwnd_, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    // The command line is handled once the window is on screen, so that its
    // messages have a window to belong to.
    PostMessageA(hwnd_, kRunCommandLine, 0, 0);
}

LRESULT CALLBACK TForm1::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT TForm1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // A button may open a box, which takes the keys away before the window is told.
            keys_.Remember();
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
        case WM_SETFOCUS:
            keys_.Handle(message, wParam);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != lvDestination) return 0;
            if (header->code == LVN_ITEMCHANGED && !redrawing_)
                OnListChange(*reinterpret_cast<const NMLISTVIEW*>(lParam));
            else if (header->code == NM_SETFOCUS)
                ShowFocusedRow();
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            // The hint pane has the window colour, like an edit field.
            if (reinterpret_cast<HWND>(lParam) == TypeStatus) {
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        case kRunCommandLine:
            window_.FormShow(argument_);
            return 0;
        case WM_ENDSESSION:
            // The session ends and the process with it, without unwinding:
            // an output waiting for the user's answer must not stay behind.
            if (wParam) RemoveUnfinishedFiles();
            return 0;
        case WM_DPICHANGED:
            // Moved to a monitor of another dpi: laid out again for it.
            Layout(MoveToNewDpi(hwnd_, wParam, lParam));
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void TForm1::OnCommand(int id, int code) {
    switch (id) {
        case kForm:
            if (code == CBN_EDITCHANGE)
                window_.coFormType(WindowText(coForm));
            else if (code == CBN_SELCHANGE)
                window_.coFormPick(static_cast<int>(SendMessageA(coForm, CB_GETCURSEL, 0, 0)));
            break;
        case kDisplay:
            if (code == BN_CLICKED) window_.bDisplayClick();
            break;
        case kVerify:
            if (code == BN_CLICKED) window_.bVerifyClick();
            break;
        default:
            break;
    }
}

void TForm1::OnListChange(const NMLISTVIEW& change) {
    if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return;
    const size_t row = static_cast<size_t>(change.iItem);
    const UINT changed = change.uNewState ^ change.uOldState;
    // A row's first state image is set as it is added; only a change between
    // the two check box images is the user's tick.
    if ((changed & LVIS_STATEIMAGEMASK) && (change.uOldState & LVIS_STATEIMAGEMASK))
        window_.lvDestinationCheckStateChange(row,
                                              (change.uNewState & LVIS_STATEIMAGEMASK) == StateImageOf(true));
    if (changed & LVIS_SELECTED) window_.lvDestinationSelectItem(row);
}

// A list that gets the keys shows which row Space ticks: the selected one,
// else the first.
void TForm1::ShowFocusedRow() {
    if (ListView_GetItemCount(lvDestination) == 0 ||
        ListView_GetNextItem(lvDestination, -1, LVNI_FOCUSED) >= 0)
        return;
    const int selected = ListView_GetNextItem(lvDestination, -1, LVNI_SELECTED);
    ListView_SetItemState(lvDestination, selected >= 0 ? selected : 0, LVIS_FOCUSED, LVIS_FOCUSED);
}

void TForm1::FillList() {
    const std::string caption(window_.ColumnCaption());
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(caption.c_str());
    SendMessageA(lvDestination, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(lvDestination, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(lvDestination);
    const std::vector<FieldEntry>& fields = window_.Session().Selection().Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(fields[i].caption.c_str());
        item.lParam = static_cast<unsigned char>(fields[i].typeCode);  // the hidden type code
        SendMessageA(lvDestination, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    ShowTicks();
    SendMessageA(lvDestination, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(lvDestination, nullptr, TRUE);
}

void TForm1::ShowTicks() {
    const std::vector<FieldEntry>& fields = window_.Session().Selection().Fields();
    for (size_t i = 0; i < fields.size(); ++i)
        ListView_SetItemState(lvDestination, static_cast<int>(i), StateImageOf(fields[i].checked),
                              LVIS_STATEIMAGEMASK);
}

void TForm1::Redraw(shell::MainWindowPart part) {
    redrawing_ = true;
    switch (part) {
        case shell::MainWindowPart::FormSelector: {
            const shell::FormSelector& selector = window_.Selector();
            SendMessageA(coForm, CB_SETCURSEL, static_cast<WPARAM>(selector.Position()), 0);
            SetWindowTextA(coForm, selector.Text().c_str());
            // The offered rest of a completion is selected, for the next key to replace.
            SendMessageA(coForm, CB_SETEDITSEL, 0,
                         MAKELPARAM(selector.TypedLength(), selector.Text().size()));
            break;
        }
        case shell::MainWindowPart::FieldList:
            FillList();
            break;
        case shell::MainWindowPart::Ticks:
            ShowTicks();
            break;
        case shell::MainWindowPart::SelectedRow:
            ListView_SetItemState(lvDestination, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            if (window_.SelectedRow() >= 0) {
                ListView_SetItemState(lvDestination, window_.SelectedRow(), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(lvDestination, window_.SelectedRow(), FALSE);
            }
            break;
        case shell::MainWindowPart::Hint:
            SetWindowTextA(TypeStatus, std::string(window_.Hint()).c_str());
            break;
        case shell::MainWindowPart::DisplayButton:
            EnableWindow(bDisplay, window_.DisplayEnabled());
            break;
    }
    redrawing_ = false;
}

}  // namespace bq::win32
