#include "app/Dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>

namespace bq::app {

QMessageBox::StandardButton QtDialogs::Message(QWidget* parent, const QString& caption, const QString& text,
                                               QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> QtDialogs::RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

bool QtDialogs::RunPrintDialog(QPrintDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void QtDialogs::RunWindow(QDialog& window) { window.exec(); }

}  // namespace bq::app
