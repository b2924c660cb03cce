// The template window on Qt: the memo and the Print, Save and Close
// buttons. What the buttons do is the shell's TemplateWindow.
#pragma once

#include <QDialog>

#include "shell/template_window.h"

class QPlainTextEdit;
class QPushButton;
class TAutoSize;

class TfmTemplate : public QDialog {
    Q_OBJECT
  public:
    // `mainWindow` gives the window its place on the screen.
    TfmTemplate(bq::shell::TemplateWindow& window, QWidget* mainWindow);

    QPlainTextEdit* RzMemo1;
    QPushButton* bPrint;
    QPushButton* bSave;
    QPushButton* bClose;
    TAutoSize* AutoSize;

  protected:
    // Fills the memo with the shell's lines and covers the main window.
    void showEvent(QShowEvent* event) override;

  private:
    bq::shell::TemplateWindow& window_;
    QWidget* mainWindow_;
};
