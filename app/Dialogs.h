// Every modal dialog of the program goes through this seam, so that tests
// answer message boxes, file dialogs, the printer set-up and the template
// window without a user or timers.
#pragma once

#include <QMessageBox>
#include <QString>
#include <optional>

class QDialog;
class QFileDialog;
class QPrintDialog;
class QWidget;

namespace bq::app {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box; returns the button pressed.
    virtual QMessageBox::StandardButton Message(QWidget* parent, const QString& caption, const QString& text,
                                                QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) = 0;
    // The chosen file, or nothing when cancelled.
    virtual std::optional<QString> RunFileDialog(QFileDialog& dialog) = 0;
    // True when the user accepted the printer settings.
    virtual bool RunPrintDialog(QPrintDialog& dialog) = 0;
    // Any other modal window.
    virtual void RunWindow(QDialog& window) = 0;
};

// The dialogs the user sees.
class QtDialogs : public Dialogs {
public:
    QMessageBox::StandardButton Message(QWidget* parent, const QString& caption, const QString& text,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override;
    std::optional<QString> RunFileDialog(QFileDialog& dialog) override;
    bool RunPrintDialog(QPrintDialog& dialog) override;
    void RunWindow(QDialog& window) override;
};

}  // namespace bq::app
