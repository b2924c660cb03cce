// The template window: shows the data extract template of the current
// selection and lets the user print or save it.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/Dialogs.h"

class QPlainTextEdit;
class QPushButton;
class TAutoSize;

class TfmTemplate : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` gives the window its place on the screen.
    TfmTemplate(bq::app::Dialogs& dialogs, QWidget* mainWindow);

    // Fills the memo with `lines` and runs the window modally.
    void ShowTemplate(const std::vector<std::string>& lines);
    void FillMemo(const std::vector<std::string>& lines);
    const std::vector<std::string>& Lines() const { return lines_; }

    QPlainTextEdit* RzMemo1;
    QWidget* pnButtons;
    QPushButton* bPrint;
    QPushButton* bSave;
    QPushButton* bClose;
    TAutoSize* AutoSize;

public slots:
    void bCloseClick();
    void bSaveClick();
    void bPrintClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString FirstLine() const;

    bq::app::Dialogs& dialogs_;
    QWidget* mainWindow_;
    std::vector<std::string> lines_;
};
