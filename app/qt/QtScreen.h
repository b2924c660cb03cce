// The shell's screen on Qt: message boxes, the file and printer dialogs,
// the hour-glass, and the two windows. Every modal run goes through one of
// the Run methods, which tests override to answer without a user.
#pragma once

#include <QMessageBox>
#include <QString>
#include <optional>

#include "shell/screen.h"

class QDialog;
class QFileDialog;
class QPrintDialog;
class TForm1;
class TfmTemplate;

namespace bq::app {

class QtScreen : public shell::Screen {
  public:
    // The windows the screen draws into; set once both exist.
    void SetWindows(TForm1* mainWindow, TfmTemplate* templateWindow);

    shell::Answer Message(std::string_view caption, std::string_view text, shell::Icon icon,
                          shell::Buttons buttons) override;
    void Beep() override;
    void SetBusy(bool busy) override;
    void KeepResponsive() override;
    std::optional<std::string> ChooseFileToOpen(const shell::FileDialog& dialog) override;
    std::optional<std::string> ChooseFileToSave(const shell::FileDialog& dialog) override;
    std::unique_ptr<shell::PrintJob> SetUpPrinter() override;
    void ShowTemplateWindow() override;
    void CloseMainWindow() override;
    void Redraw(shell::MainWindowPart part) override;

  protected:
    // The modal runs: the button pressed, the file chosen, whether the
    // printer set-up was accepted.
    virtual QMessageBox::StandardButton RunBox(QMessageBox& box);
    virtual std::optional<QString> RunFileDialog(QFileDialog& dialog);
    virtual bool RunPrintDialog(QPrintDialog& dialog);
    virtual void RunWindow(QDialog& window);

  private:
    // The window a dialog belongs to: the template window while it is open.
    QWidget* DialogParent() const;
    // The file `dialog` chose, whose folder the next dialog starts in.
    std::optional<std::string> Chosen(QFileDialog& dialog);

    TForm1* main_ = nullptr;
    TfmTemplate* template_ = nullptr;
    QString lastFolder_;
};

}  // namespace bq::app
