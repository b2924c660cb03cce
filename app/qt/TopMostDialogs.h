// File and printer dialogs that stay above every other window, so that a
// program that started this one from the command line cannot hide them.
// While one is open its window id is in ActiveDialogHandle.
#pragma once

#include <QFileDialog>
#include <QPrintDialog>

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

class TTopMostOpenDialog : public TTopMost<QFileDialog> {
  public:
    explicit TTopMostOpenDialog(QWidget* parent = nullptr);
};

class TTopMostSaveDialog : public TTopMost<QFileDialog> {
  public:
    explicit TTopMostSaveDialog(QWidget* parent = nullptr);
};

class TTopMostPrinterSetupDialog : public TTopMost<QPrintDialog> {
  public:
    TTopMostPrinterSetupDialog(QPrinter* printer, QWidget* parent = nullptr) : TTopMost(printer, parent) {}
};
