#include "app/qt/TopMostDialogs.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/qt/AppText.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "shell/file_dialog_rules.h"

WId ActiveDialogHandle = 0;

namespace {

// The name box and the button box of Qt's own file dialog, by the names its
// layout gives them.
QLineEdit* NameBox(const QFileDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QPushButton* OpenButton(const QFileDialog& dialog) {
    const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
}

}  // namespace

// The stay-on-top hint reaches only Qt's own dialog widget, not a
// platform dialog, so the platform's file dialogs are not used.
TTopMostOpenDialog::TTopMostOpenDialog(QWidget* parent, std::string defaultExtension)
    : TTopMost(parent), defaultExtension_(std::move(defaultExtension)) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    // Qt greys Open out while the name box names no existing file; a name
    // that leads to one counts. Connected after Qt's own check, so it runs last.
    if (QLineEdit* name = NameBox(*this))
        connect(name, &QLineEdit::textChanged, this, [this] {
            if (QPushButton* open = OpenButton(*this); open && MeantFile()) open->setEnabled(true);
        });
}

std::optional<std::string> TTopMostOpenDialog::MeantFile() const {
    const QStringList chosen = selectedFiles();
    if (chosen.size() != 1) return std::nullopt;
    const std::string typed = bq::app::ToDiskPath(chosen.first());
    // A folder is opened by Qt itself, to show what it holds.
    if (bq::EntryExists(typed) && !bq::RegularFileExists(typed)) return std::nullopt;
    const std::string folder = bq::FolderPart(typed);
    std::vector<std::string> files;
    for (std::string& name : bq::EntryNames(folder))
        if (bq::RegularFileExists(folder + name)) files.push_back(std::move(name));
    const std::optional<std::string> meant =
        bq::shell::MeantFile(bq::FileNamePart(typed), defaultExtension_, files);
    if (!meant) return std::nullopt;
    return folder + *meant;
}

// Qt checks the name box's text, so the file meant is put there; a name
// that leads nowhere gets Qt's own "not found" message. Qt's check looks
// for the name as Qt decoded it, which misses a file whose name is not
// UTF-8: a file found by its bytes is accepted without that check.
void TTopMostOpenDialog::accept() {
    if (const std::optional<std::string> meant = MeantFile()) {
        const QString shown = bq::app::FromPath(*meant);
        if (QLineEdit* name = NameBox(*this)) name->setText(shown);
        if (!QFileInfo::exists(shown)) {
            // Past QFileDialog's own check on purpose: it cannot find this file.
            QDialog::accept();  // NOLINT(bugprone-parent-virtual-call)
            return;
        }
    }
    QFileDialog::accept();
}

TTopMostSaveDialog::TTopMostSaveDialog(QWidget* parent) : TTopMost(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
}
