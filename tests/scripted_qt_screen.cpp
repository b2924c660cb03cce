#include "tests/scripted_qt_screen.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

namespace bq::app {

QMessageBox::StandardButton ScriptedQtScreen::RunBox(QMessageBox& box) {
    boxes.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons()});
    if (box.standardButtons() == QMessageBox::Ok) return QMessageBox::Ok;
    return answers.Next(QMessageBox::No);
}

// The entries of the dialog's filter list, found by the name Qt's layout gives it.
static QStringList ShownFilters(const QFileDialog& dialog) {
    QStringList shown;
    if (const auto* list = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < list->count(); ++i) shown.append(list->itemText(i));
    return shown;
}

std::optional<QString> ScriptedQtScreen::RunFileDialog(QFileDialog& dialog) {
    const QStringList selected = dialog.selectedFiles();
    const bool save = dialog.acceptMode() == QFileDialog::AcceptSave;
    fileDialogs.push_back(
        {dialog.windowTitle(), selected.isEmpty() ? QString() : QFileInfo(selected.first()).fileName(),
         ShownFilters(dialog), dialog.nameFilters(), dialog.defaultSuffix(), save,
         !dialog.testOption(QFileDialog::DontConfirmOverwrite), dialog.directory().absolutePath()});
    const std::optional<QString> file = test::NextFile(files);
    if (!file || save) return file;
    dialog.selectFile(*file);
    QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);  // Open
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles().first();
}

bool ScriptedQtScreen::RunPrintDialog(QPrintDialog& dialog) {
    ++printDialogs;
    pageRangeOffered = dialog.testOption(QAbstractPrintDialog::PrintPageRange);
    const QString pdf = printAnswers.Next();
    if (pdf.isEmpty() && !printQueue.isEmpty()) {
        dialog.printer()->setPrinterName(printQueue);
        return true;
    }
    if (pdf.isEmpty()) return false;
    dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
    dialog.printer()->setOutputFileName(pdf);
    return true;
}

// The window is shown without waiting for a user, so that it fills itself as on screen.
void ScriptedQtScreen::RunWindow(QDialog& window) {
    windows.push_back(window.windowTitle());
    window.show();
    window.hide();
}

}  // namespace bq::app
