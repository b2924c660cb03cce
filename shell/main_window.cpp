#include "shell/main_window.h"

#include "extract/template_text.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "schema/text.h"
#include "schema/type_codes.h"
#include "shell/error_display.h"
#include "shell/messages.h"
#include "verify/merge_output.h"

namespace bq::shell {

namespace {

// Marks the window at work for as long as it lives: the windows repaint
// meanwhile, and any event that reaches a handler then is no request of the user's.
class Working {
  public:
    explicit Working(bool& working) : working_(working) { working_ = true; }
    ~Working() { working_ = false; }
    Working(const Working&) = delete;
    Working& operator=(const Working&) = delete;

  private:
    bool& working_;
};

// Runs `work` when it goes, however the scope is left.
template <typename Work>
class AtExit {
  public:
    explicit AtExit(Work work) : work_(std::move(work)) {}
    ~AtExit() { work_(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

  private:
    Work work_;
};

}  // namespace

FileDialog ExtractOpenDialog() { return {"", "", "Text files (*.txt)|*.txt|All files (*.*)|*.*", "TXT"}; }

MainWindow::MainWindow(Screen& screen, TemplateWindow& templateWindow, std::string_view programPath,
                       Registry* registry)
    : screen_(screen),
      template_(templateWindow),
      programName_(FileNamePart(programPath)),
      registry_(registry) {}

void MainWindow::coFormPick(int position) {
    if (working_) return;
    // Picking the form already shown is no change of form: the ticks stay.
    const bool same = FormSelector::FormIndexAt(position) == session_.Selection().FormIndex() &&
                      session_.Selection().FormIndex() >= 0;
    selector_.Pick(position);
    if (same)
        screen_.Redraw(MainWindowPart::FormSelector);
    else
        coFormChange();
}

void MainWindow::coFormType(std::string_view text) {
    if (working_) return;
    selector_.Type(text);
    screen_.Redraw(MainWindowPart::FormSelector);
    coFormChange();
}

void MainWindow::coFormChange() {
    Guarded(screen_, [&] {
        session_.Selection().Load(FormSelector::FormIndexAt(selector_.Position()));
        ShowFieldList();
    });
}

// The list's form and ticks are redrawn, and the selector follows a form
// that an extract chose.
void MainWindow::ShowFieldList() {
    selector_.Show(session_.Selection().FormIndex());
    selectedRow_ = -1;
    hint_.clear();
    for (MainWindowPart part : {MainWindowPart::FormSelector, MainWindowPart::FieldList,
                                MainWindowPart::Ticks, MainWindowPart::Hint, MainWindowPart::DisplayButton})
        screen_.Redraw(part);
}

void MainWindow::lvDestinationCheckStateChange(size_t row, bool ticked) {
    if (working_ || row >= session_.Selection().Fields().size()) return;
    session_.Selection().SetChecked(row, ticked);
    screen_.Redraw(MainWindowPart::Ticks);
    if (ticked) {
        ShowFieldTypeHint(row);
        selectedRow_ = static_cast<int>(row);
        screen_.Redraw(MainWindowPart::SelectedRow);
    } else {
        SetHint("");
    }
    screen_.Redraw(MainWindowPart::DisplayButton);
}

void MainWindow::lvDestinationSelectItem(size_t row) {
    if (row < session_.Selection().Fields().size()) ShowFieldTypeHint(row);
}

void MainWindow::ShowFieldTypeHint(size_t row) {
    SetHint(TypeHint(session_.Selection().Fields()[row].typeCode));
}

void MainWindow::SetHint(std::string_view hint) {
    hint_ = hint;
    screen_.Redraw(MainWindowPart::Hint);
}

void MainWindow::bDisplayClick() {
    if (working_) return;
    Guarded(screen_, [&] {
        template_.Fill(TemplateLines(selector_.Text(), session_.Selection().Captions(),
                                     session_.Selection().Ticks(), programName_));
        screen_.ShowTemplateWindow();
    });
}

void MainWindow::VerifyExtract(MergeOutput& output) {
    // Reading and checking a large extract takes seconds: the hour-glass
    // shows the program is at work until the next box asks the user something.
    const Busy busy(screen_);
    const Working working(working_);
    // The checks load the extract's form and apply its ticks, also when a
    // later check fails: the list shows what they left.
    const AtExit shown([this, revision = session_.Selection().Revision()] {
        if (session_.Selection().Revision() != revision) ShowFieldList();
    });
    session_.LoadExtract();
    // The extract is closed however the work ends: no box the user reads
    // afterwards keeps it from the application that wrote it.
    const AtExit released([this] { session_.ReleaseExtract(); });
    output.Verify(Responsive());
}

VerifyOptions MainWindow::Responsive() {
    VerifyOptions options;
    options.progress = [this](size_t, size_t) { screen_.KeepResponsive(); };
    return options;
}

void MainWindow::bVerifyClick() {
    if (working_) return;
    Guarded(screen_, [&] {
        const std::optional<std::string> path = screen_.ChooseFileToOpen(ExtractOpenDialog());
        if (!path) return;
        session_.SetExtractFile(*path);
        // The finished output waits in its temporary file while the user
        // decides: Yes only renames it, No drops it.
        MergeOutput output(session_);
        VerifyExtract(output);
        screen_.Beep();
        const std::string question =
            ConfirmationText(session_.ExtractFile(), session_.FormName(), session_.OutputRowCount());
        if (screen_.Message(kConfirmationCaption, question, Icon::Question, Buttons::YesNo) == Answer::Yes)
            SaveMergeOutput(output);
    });
}

Registry& MainWindow::UserRegistry() {
    if (!registry_) {
        ownRegistry_ = OpenUserRegistry();
        registry_ = ownRegistry_.get();
    }
    return *registry_;
}

void MainWindow::SaveMergeOutput(MergeOutput& output) {
    std::string instructions;
    {
        const Busy busy(screen_);
        const Working working(working_);
        const AtExit released([this] { session_.ReleaseExtract(); });
        instructions = output.Save(UserRegistry(), Responsive());
    }
    screen_.Message(kInstructionsCaption, instructions, Icon::None, Buttons::Ok);
}

void MainWindow::FormShow(std::string_view argument) {
    if (working_) return;
    session_.SetExtractFile("");
    const std::string path(Trim(argument));
    if (path.empty()) return;
    if (!RegularFileExists(path)) {
        // Told here, so the silent abort of the handler shows nothing more.
        screen_.Message(MainWindowCaption(), MissingExtractMessage(path, programName_), Icon::Warning,
                        Buttons::Ok);
        return;
    }
    const bool converted = Guarded(screen_, [&] {
        session_.SetExtractFile(path);
        MergeOutput output(session_);
        VerifyExtract(output);
        SaveMergeOutput(output);
    });
    if (converted) screen_.CloseMainWindow();
}

}  // namespace bq::shell
