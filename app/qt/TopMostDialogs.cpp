#include "app/qt/TopMostDialogs.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/qt/AppText.h"
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
            if (QPushButton* open = OpenButton(*this); open && MeantPath()) open->setEnabled(true);
        });
}

std::optional<QString> TTopMostOpenDialog::MeantPath() const {
    const QStringList chosen = selectedFiles();
    if (chosen.size() != 1) return std::nullopt;
    const QFileInfo typed(chosen.first());
    if (typed.isDir()) return std::nullopt;
    const QDir folder = typed.dir();
    std::vector<std::string> files;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.push_back(bq::app::ToPath(name));
    const std::optional<std::string> meant =
        bq::shell::MeantFile(bq::app::ToPath(typed.fileName()), defaultExtension_, files);
    if (!meant) return std::nullopt;
    return folder.filePath(bq::app::FromPath(*meant));
}

// Qt checks the name box's text, so the file meant is put there; a name
// that leads nowhere gets Qt's own "not found" message.
void TTopMostOpenDialog::accept() {
    if (const std::optional<QString> meant = MeantPath())
        if (QLineEdit* name = NameBox(*this)) name->setText(*meant);
    QFileDialog::accept();
}

TTopMostSaveDialog::TTopMostSaveDialog(QWidget* parent) : TTopMost(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
}
