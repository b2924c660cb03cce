// File and printer dialogs that stay above every other window, so that a
// program that started this one from the command line cannot hide them.
// While one is open its window id is in ActiveDialogHandle.
#pragma once

#include <QFileDialog>
#include <QPrintDialog>
#include <optional>
#include <string>

// The window id of the open dialog, or 0.
extern WId ActiveDialogHandle;

// Adds the stay-on-top hint and the show and close notifications to a Qt dialog.
template <typename Dialog>
class TTopMost : public Dialog {
  public:
    template <typename... Args>
    explicit TTopMost(Args&&... args) : Dialog(std::forward<Args>(args)...) {
        this->setWindowFlag(Qt::WindowStaysOnTopHint);
    }

  protected:
    void showEvent(QShowEvent* event) override {
        Dialog::showEvent(event);
        DoShow();
    }
    void hideEvent(QHideEvent* event) override {
        DoClose();
        Dialog::hideEvent(event);
    }
    void DoShow() { ActiveDialogHandle = this->winId(); }
    void DoClose() { ActiveDialogHandle = 0; }
};

// Opens an existing file. A typed name is looked for as on Windows, with
// `defaultExtension` in any letter case when it has no extension, and as it
// is when that is the name of a file (shell/file_dialog_rules.h).
class TTopMostOpenDialog : public TTopMost<QFileDialog> {
  public:
    TTopMostOpenDialog(QWidget* parent, std::string defaultExtension);

  protected:
    void accept() override;

  private:
    // The path on disk of the file the name box leads to under that rule, or nothing.
    std::optional<std::string> MeantFile() const;

    std::string defaultExtension_;
};

class TTopMostSaveDialog : public TTopMost<QFileDialog> {
  public:
    explicit TTopMostSaveDialog(QWidget* parent = nullptr);
};

// The printer set-up offers only what the printout honours: every page of
// the template, so no page range, selection or current page.
class TTopMostPrinterSetupDialog : public TTopMost<QPrintDialog> {
  public:
    TTopMostPrinterSetupDialog(QPrinter* printer, QWidget* parent = nullptr) : TTopMost(printer, parent) {
        this->setOption(QAbstractPrintDialog::PrintPageRange, false);
        this->setOption(QAbstractPrintDialog::PrintSelection, false);
        this->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    }
};
