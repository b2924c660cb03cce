#include "app/qt/QtScreen.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "app/qt/AppText.h"
#include "app/qt/QtPrintJob.h"
#include "app/qt/TopMostDialogs.h"
#include "app/qt/uBQDataMerge.h"
#include "app/qt/uBQDataMergeTemplate.h"
#include "shell/error_display.h"

namespace bq::app {
namespace {

QMessageBox::Icon IconOf(shell::Icon icon) {
    switch (icon) {
        case shell::Icon::None:
            return QMessageBox::NoIcon;
        case shell::Icon::Warning:
            return QMessageBox::Warning;
        case shell::Icon::Stop:
            return QMessageBox::Critical;
        case shell::Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// "Description|pattern" pairs as Qt's name filters, which take the
// patterns from the parentheses of "Description (pattern)".
QStringList NameFilters(std::string_view filter) {
    const QStringList parts = FromBytes(filter).split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        names.append(parts[i].endsWith(pattern) ? parts[i] : parts[i] + QLatin1Char(' ') + pattern);
    }
    return names;
}

void Configure(QFileDialog& dialog, const shell::FileDialog& spec) {
    if (!spec.title.empty()) dialog.setWindowTitle(FromBytes(spec.title));
    dialog.setNameFilters(NameFilters(spec.filter));
    dialog.setDefaultSuffix(FromBytes(spec.defaultExtension));
    if (!spec.proposedName.empty()) dialog.selectFile(FromPath(spec.proposedName));
}

}  // namespace

void QtScreen::SetWindows(TForm1* mainWindow, TfmTemplate* templateWindow) {
    main_ = mainWindow;
    template_ = templateWindow;
}

QWidget* QtScreen::DialogParent() const {
    if (template_ && template_->isVisible()) return template_;
    return main_;
}

shell::Answer QtScreen::Message(std::string_view caption, std::string_view text, shell::Icon icon,
                                shell::Buttons buttons) {
    const QMessageBox::StandardButtons shown =
        buttons == shell::Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(IconOf(icon), FromBytes(caption), DisplayText(text), shown, DialogParent());
    switch (RunBox(box)) {
        case QMessageBox::Yes:
            return shell::Answer::Yes;
        case QMessageBox::No:
            return shell::Answer::No;
        default:
            return buttons == shell::Buttons::YesNo ? shell::Answer::No : shell::Answer::Ok;
    }
}

void QtScreen::Beep() { QApplication::beep(); }

void QtScreen::KeepResponsive() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void QtScreen::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::optional<std::string> QtScreen::ChooseFileToOpen(const shell::FileDialog& spec) {
    TTopMostOpenDialog dialog(DialogParent());
    Configure(dialog, spec);
    const std::optional<QString> path = RunFileDialog(dialog);
    if (!path) return std::nullopt;
    return ToPath(*path);
}

std::optional<std::string> QtScreen::ChooseFileToSave(const shell::FileDialog& spec) {
    TTopMostSaveDialog dialog(DialogParent());
    Configure(dialog, spec);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const std::optional<QString> path = RunFileDialog(dialog);
    if (!path) return std::nullopt;
    return ToPath(*path);
}

std::unique_ptr<shell::PrintJob> QtScreen::SetUpPrinter() {
    std::unique_ptr<QPrinter> printer;
    std::optional<TTopMostPrinterSetupDialog> dialog;
    {
        // Finding the printers can take a while.
        const shell::Busy busy(*this);
        printer = std::make_unique<QPrinter>();
        dialog.emplace(printer.get(), DialogParent());
    }
    if (!RunPrintDialog(*dialog)) return nullptr;
    dialog.reset();
    return std::make_unique<QtPrintJob>(std::move(printer), template_ ? template_->PrintFont() : QFont());
}

void QtScreen::ShowTemplateWindow() {
    if (template_) RunWindow(*template_);
}

void QtScreen::CloseMainWindow() {
    if (main_) main_->close();
}

void QtScreen::Redraw(shell::MainWindowPart part) {
    if (main_) main_->Redraw(part);
}

QMessageBox::StandardButton QtScreen::RunBox(QMessageBox& box) {
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> QtScreen::RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

bool QtScreen::RunPrintDialog(QPrintDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void QtScreen::RunWindow(QDialog& window) { window.exec(); }

}  // namespace bq::app
