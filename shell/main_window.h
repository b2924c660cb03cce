// The main window without its controls: the form selector, the field list
// with its ticks, selection and hint, "Display Template", "Verify an
// Extract" and the command-line mode. Each handler takes the control's
// event; what changed reaches the view through Screen::Redraw.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "shell/form_selector.h"
#include "shell/screen.h"
#include "shell/template_window.h"
#include "verify/merge_output.h"
#include "verify/verification_session.h"

namespace bq::shell {

// The field list's column caption before any form is chosen, and after.
inline constexpr std::string_view kNoFormCaption =
    "TO CREATE A NEW TEMPLATE, SELECT A TAX FORM FROM THE DROP DOWN LIST";
inline constexpr std::string_view kFormCaption = "CHECK ALL FIELDS FOR WHICH YOU WILL BE SUPPLYING DATA";

// The open dialog of "Verify an Extract".
FileDialog ExtractOpenDialog();

class MainWindow {
  public:
    // `programPath` is the program's own file, whose name the usage message
    // and the template show. Without `registry` the current user's registry
    // is opened when first needed.
    MainWindow(Screen& screen, TemplateWindow& templateWindow, std::string_view programPath,
               Registry* registry = nullptr);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // --- what the view shows ---
    const FormSelector& Selector() const { return selector_; }
    const VerificationSession& Session() const { return session_; }
    std::string_view ColumnCaption() const {
        return session_.Selection().FormIndex() < 0 ? kNoFormCaption : kFormCaption;
    }
    // The row to show selected, or -1.
    int SelectedRow() const { return selectedRow_; }
    // The status pane's text.
    std::string_view Hint() const { return hint_; }
    bool DisplayEnabled() const { return session_.Selection().CountChecked() > 0; }

    // --- the controls' events ---
    // The user picked a form from the drop-down.
    void coFormPick(int position);
    // The user's typing left `text` in the selector's edit field.
    void coFormType(std::string_view text);
    // The user ticked or unticked `row`.
    void lvDestinationCheckStateChange(size_t row, bool ticked);
    // `row` gained or lost the selection.
    void lvDestinationSelectItem(size_t row);
    void bDisplayClick();
    void bVerifyClick();
    // The window is shown for the first time; `argument` is the program's
    // first argument (empty when none): an extract to convert without questions.
    void FormShow(std::string_view argument);

  private:
    // Shows the field list loaded, its ticks, and the selector following its form.
    void ShowFieldList();
    void coFormChange();
    void ShowFieldTypeHint(size_t row);
    void SetHint(std::string_view hint);
    // Opens ExtractFile and runs the checks, the rows going to `output`,
    // the hour-glass showing.
    void VerifyExtract(MergeOutput& output);
    // Puts the output in place, records TextDirectory and shows the instructions.
    void SaveMergeOutput(MergeOutput& output);
    // Options that keep the windows repainting during a long verification.
    VerifyOptions Responsive();
    Registry& UserRegistry();

    Screen& screen_;
    TemplateWindow& template_;
    std::string programName_;
    Registry* registry_;
    std::unique_ptr<Registry> ownRegistry_;
    VerificationSession session_;
    FormSelector selector_;
    int selectedRow_ = -1;
    std::string hint_;
    // A verification is running: the windows repaint meanwhile, and any
    // event that reaches a handler then is no request of the user's.
    bool working_ = false;
};

}  // namespace bq::shell
