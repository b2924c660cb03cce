#include "app/qt/QtScreen.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "app/qt/AppText.h"
#include "app/qt/Fonts.h"
#include "app/qt/QtPrintJob.h"
#include "app/qt/TopMostDialogs.h"
#include "app/qt/uBQDataMerge.h"
#include "app/qt/uBQDataMergeTemplate.h"
#include "shell/error_display.h"
#include "shell/file_dialog_rules.h"

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

// The filter entries as Qt's name filters, which read the patterns from the
// parentheses of "Description (patterns)".
QStringList NameFilters(std::string_view filter) {
    QStringList names;
    for (const shell::NameFilter& entry : shell::NameFilters(filter)) {
        QStringList patterns;
        for (const std::string& pattern : entry.patterns) patterns.append(FromBytes(pattern));
        names.append(FromBytes(entry.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                     QLatin1Char(')'));
    }
    return names;
}

void Configure(QFileDialog& dialog, const shell::FileDialog& wanted, const QString& folder) {
    if (!wanted.title.empty()) dialog.setWindowTitle(FromBytes(wanted.title));
    // The folder last used in this session; the working folder the first time.
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    // The list shows each description as it is written, as on Windows; the
    // patterns stay out of sight, or "All files (*.*)" would show as "All files (*.*) (*)".
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(wanted.filter));
    if (!wanted.proposedName.empty()) dialog.selectFile(FromPath(wanted.proposedName));
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

std::optional<std::string> QtScreen::ChooseFileToOpen(const shell::FileDialog& wanted) {
    TTopMostOpenDialog dialog(DialogParent(), wanted.defaultExtension);
    Configure(dialog, wanted, lastFolder_);
    return Chosen(dialog);
}

std::optional<std::string> QtScreen::ChooseFileToSave(const shell::FileDialog& wanted) {
    TTopMostSaveDialog dialog(DialogParent());
    Configure(dialog, wanted, lastFolder_);
    // The extension added follows the filter chosen, in its letter case.
    const std::vector<shell::NameFilter> filters = shell::NameFilters(wanted.filter);
    const auto addFor = [&dialog, &filters, &wanted](int chosen) {
        if (chosen >= 0 && static_cast<size_t>(chosen) < filters.size())
            dialog.setDefaultSuffix(FromBytes(
                shell::AddedExtension(filters[static_cast<size_t>(chosen)], wanted.defaultExtension)));
    };
    addFor(0);
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, addFor](const QString& filter) { addFor(dialog.nameFilters().indexOf(filter)); });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    return Chosen(dialog);
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
    return std::make_unique<QtPrintJob>(std::move(printer), PrintFont());
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

std::optional<std::string> QtScreen::Chosen(QFileDialog& dialog) {
    const std::optional<QString> path = RunFileDialog(dialog);
    if (!path) return std::nullopt;
    lastFolder_ = QFileInfo(*path).absolutePath();
    return ToDiskPath(*path);
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
