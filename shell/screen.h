// The one interface through which the application's flows reach the
// screen: message boxes, the beep, the hour-glass, the file and printer
// dialogs, the template window and the main window's redrawing. Each front
// end implements it in a few lines per method; tests answer it from a script.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace bq::shell {

enum class Icon { None, Warning, Stop, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// A file dialog as the flows ask for it.
struct FileDialog {
    std::string title;             // empty: the platform's own title
    std::string proposedName;      // the file name offered, without folder
    std::string filter;            // "Description|pattern" pairs joined by '|'
    std::string defaultExtension;  // added to a name typed without one
};

// A print job on the printer the user chose, in the template's font.
// Sizes are in the printer's pixels; every call may throw Error.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int LineHeight() const = 0;
    // The width of `text` printed on one line.
    virtual int TextWidth(std::string_view text) const = 0;
    virtual void Begin(std::string_view title) = 0;
    virtual void NewPage() = 0;
    // Prints `text` with its top at `y` on the current page, from the left edge.
    virtual void PrintLine(int y, std::string_view text) = 0;
    // Ends the job; called also when printing failed.
    virtual void End() = 0;
};

// What of the main window has to be drawn again.
enum class MainWindowPart {
    FormSelector,   // the selected form and the selector's text
    FieldList,      // the rows, their ticks and the column caption
    Ticks,          // the ticks only
    SelectedRow,    // the selected row
    Hint,           // the status pane
    DisplayButton,  // whether "Display Template" is enabled
};

class Screen {
  public:
    virtual ~Screen() = default;
    // A modal message box; returns the button pressed.
    virtual Answer Message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons) = 0;
    virtual void Beep() = 0;
    // Shows the hour-glass cursor, or takes it away.
    virtual void SetBusy(bool busy) = 0;
    // Called now and then during long work, so that the windows can repaint;
    // the user's input waits until the work is done.
    virtual void KeepResponsive() = 0;
    // The file the user chose to open, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(const FileDialog& dialog) = 0;
    // The file the user chose to save to, having confirmed replacing an
    // existing one; nothing when cancelled.
    virtual std::optional<std::string> ChooseFileToSave(const FileDialog& dialog) = 0;
    // The printer set-up dialog, with the hour-glass while it is being
    // prepared; the job to print on, or null when cancelled.
    virtual std::unique_ptr<PrintJob> SetUpPrinter() = 0;
    // Runs the template window modally.
    virtual void ShowTemplateWindow() = 0;
    // Closes the main window, which ends the program.
    virtual void CloseMainWindow() = 0;
    // The main window's state changed in `part`.
    virtual void Redraw(MainWindowPart part) = 0;
};

}  // namespace bq::shell
