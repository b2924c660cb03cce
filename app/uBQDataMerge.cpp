#include "app/uBQDataMerge.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QValidator>

#include "app/AppText.h"
#include "app/AutoSize.h"
#include "app/ErrorDisplay.h"
#include "app/TopMostDialogs.h"
#include "app/uBQDataMergeTemplate.h"
#include "platform/files.h"
#include "extract/template_text.h"
#include "schema/form_catalogue.h"
#include "schema/text.h"
#include "schema/type_codes.h"
#include "verify/merge_output.h"
#include "verify/messages.h"

using namespace bq::app;

namespace {

// Form names are upper case; typed text is shown the same way.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

}  // namespace

TForm1::TForm1(Dialogs& dialogs, QStringList arguments, bq::Registry* registry, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), arguments_(std::move(arguments)), registry_(registry) {
    setWindowTitle(FromBytes(bq::kMainWindowCaption));
    AutoSize = new TAutoSize(this, QPoint(676, 417));

    coForm = new QComboBox(this);
    coForm->setGeometry(8, 10, 102, 21);
    coForm->setEditable(true);
    coForm->setInsertPolicy(QComboBox::NoInsert);
    coForm->setCompleter(nullptr);
    coForm->setMaxVisibleItems(37);
    coForm->lineEdit()->setValidator(new UpperCaseValidator(coForm));
    for (std::string_view name : bq::FormNames) coForm->addItem(FromBytes(name));
    for (int hidden = bq::kFirstVisibleForm - 1; hidden >= 0; --hidden) coForm->removeItem(hidden);
    coForm->setCurrentIndex(-1);

    FieldList = new FieldListModel(session_, this);
    session_.SetObserver(FieldList);
    lvDestination = new QTreeView(this);
    lvDestination->setGeometry(118, 10, 549, 380);
    lvDestination->setModel(FieldList);
    lvDestination->setRootIsDecorated(false);
    lvDestination->setItemsExpandable(false);
    lvDestination->setUniformRowHeights(true);
    lvDestination->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvDestination->setSelectionMode(QAbstractItemView::SingleSelection);
    lvDestination->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvDestination->header()->setStretchLastSection(true);
    lvDestination->header()->setMinimumSectionSize(300);
    lvDestination->header()->setSectionsMovable(false);
    lvDestination->header()->setSectionsClickable(false);

    TypeStatus = new QLabel(this);
    TypeStatus->setGeometry(118, 394, 552, 19);
    TypeStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TypeStatus->setAutoFillBackground(true);
    QPalette pane = TypeStatus->palette();
    pane.setColor(QPalette::Window, pane.color(QPalette::Base));
    TypeStatus->setPalette(pane);

    bDisplay = new QPushButton(QStringLiteral("&Display Template"), this);
    bDisplay->setGeometry(8, 333, 102, 25);
    bDisplay->setEnabled(false);
    bVerify = new QPushButton(QStringLiteral("&Verify an Extract"), this);
    bVerify->setGeometry(8, 364, 102, 25);

    setTabOrder(coForm, bDisplay);
    setTabOrder(bDisplay, bVerify);
    setTabOrder(bVerify, lvDestination);

    OpenDialog = new TTopMostOpenDialog(this);
    OpenDialog->setNameFilters({QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*.*)")});
    OpenDialog->setDefaultSuffix(QStringLiteral("TXT"));

    connect(coForm->lineEdit(), &QLineEdit::textEdited, this, &TForm1::coFormEdited);
    connect(coForm, &QComboBox::activated, this, [this](int) {
        typedPrefix_ = coForm->currentText();
        coFormChange();
    });
    connect(FieldList, &FieldListModel::ListReloaded, this, &TForm1::FieldListReloaded);
    connect(FieldList, &FieldListModel::TicksApplied, this, &TForm1::UpdateDisplayButton);
    connect(FieldList, &FieldListModel::CheckStateChanged, this, &TForm1::lvDestinationCheckStateChange);
    connect(lvDestination->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                // A row losing the selection is reported before the row gaining it.
                if (!deselected.indexes().isEmpty()) lvDestinationSelectItem(deselected.indexes().first().row());
                if (!selected.indexes().isEmpty()) lvDestinationSelectItem(selected.indexes().first().row());
            });
    connect(bDisplay, &QPushButton::clicked, this, &TForm1::bDisplayClick);
    connect(bVerify, &QPushButton::clicked, this, &TForm1::bVerifyClick);
}

// The session dies before the widgets do, and a window still on screen
// repaints its list while it is being torn down: the list lets go of it first.
TForm1::~TForm1() {
    lvDestination->setModel(nullptr);
    session_.SetObserver(nullptr);
}

// Type-ahead: the first form beginning with the typed text is selected and
// its rest offered, selected, for the next key to replace. Deleting keeps
// what is left, or the user could never shorten the text.
void TForm1::coFormEdited(const QString& text) {
    const int form = text.isEmpty() ? -1 : bq::FindVisibleFormByPrefix(ToBytes(text));
    const bool completing = text.size() > typedPrefix_.size();
    {
        const QSignalBlocker block(coForm);
        coForm->setCurrentIndex(form < 0 ? -1 : form - bq::kFirstVisibleForm);
        QLineEdit* edit = coForm->lineEdit();
        if (form >= 0 && completing) {
            const QString full = coForm->currentText();
            edit->setText(full);
            edit->setSelection(static_cast<int>(full.size()), -static_cast<int>(full.size() - text.size()));
        } else {
            edit->setText(text);
        }
    }
    typedPrefix_ = text;
    coFormChange();
}

void TForm1::coFormChange() {
    Guarded(dialogs_, this, [&] { LoadFieldList(); });
}

void TForm1::LoadFieldList() {
    const int position = coForm->currentIndex();
    session_.LoadFieldList(position < 0 ? -1 : position + bq::kFirstVisibleForm);
}

// Keeps the selector on the form whose list is shown, also when an extract chose it.
void TForm1::FieldListReloaded(int formIndex) {
    if (formIndex >= bq::kFirstVisibleForm && coForm->currentIndex() != formIndex - bq::kFirstVisibleForm) {
        const QSignalBlocker block(coForm);
        coForm->setCurrentIndex(formIndex - bq::kFirstVisibleForm);
        typedPrefix_ = coForm->currentText();
    } else if (formIndex >= 0 && formIndex < bq::kFirstVisibleForm) {
        const QSignalBlocker block(coForm);
        coForm->setCurrentIndex(-1);
        coForm->setEditText(FromBytes(bq::FormNames[static_cast<size_t>(formIndex)]));
        typedPrefix_ = coForm->currentText();
    }
    TypeStatus->clear();
    UpdateDisplayButton();
}

void TForm1::UpdateDisplayButton() { bDisplay->setEnabled(CountCheckedFields() > 0); }

void TForm1::lvDestinationCheckStateChange(int row) {
    const QModelIndex index = FieldList->index(row);
    if (index.data(Qt::CheckStateRole).toInt() == Qt::Checked) {
        ShowFieldTypeHint(row);
        lvDestination->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        TypeStatus->clear();
    }
    UpdateDisplayButton();
}

void TForm1::lvDestinationSelectItem(int row) { ShowFieldTypeHint(row); }

void TForm1::ShowFieldTypeHint(int row) {
    TypeStatus->clear();
    const QVariant code = FieldList->index(row).data(FieldListModel::TypeCodeRole);
    if (code.isValid()) TypeStatus->setText(FromBytes(bq::TypeHint(code.toChar().toLatin1())));
}

// Reading and checking a large extract takes seconds: the hour-glass shows
// the program is at work until the next box asks the user something.
void TForm1::VerifyLoadedExtract() {
    const WaitCursor wait;
    session_.LoadExtract();
    session_.CheckFormSegment();
    session_.CheckKeySegment();
    session_.VerifyExtractData();
}

void TForm1::bVerifyClick() {
    Guarded(dialogs_, this, [&] {
        const std::optional<QString> path = dialogs_.RunFileDialog(*OpenDialog);
        if (!path) return;
        session_.SetExtractFile(ToPath(*path));
        VerifyLoadedExtract();
        QApplication::beep();
        const QString question = DisplayText(
            bq::ConfirmationText(session_.ExtractFile(), session_.FormName(), session_.Rows().size()));
        if (dialogs_.Message(this, FromBytes(bq::kConfirmationCaption), question, QMessageBox::Question,
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
            SaveMergeOutput();
    });
}

bq::Registry& TForm1::UserRegistry() {
    if (!registry_) {
        ownRegistry_ = bq::OpenUserRegistry();
        registry_ = ownRegistry_.get();
    }
    return *registry_;
}

void TForm1::SaveMergeOutput() {
    std::string instructions;
    {
        const WaitCursor wait;
        instructions = bq::SaveMergeOutput(session_.ExtractFile(), session_.FormName(), session_.Rows(), UserRegistry());
    }
    dialogs_.Message(this, FromBytes(bq::kInstructionsCaption), DisplayText(instructions), QMessageBox::NoIcon,
                     QMessageBox::Ok);
}

void TForm1::bDisplayClick() {
    Guarded(dialogs_, this, [&] {
        if (!template_) return;
        template_->ShowTemplate(bq::TemplateLines(ToBytes(coForm->currentText()), session_.Captions(),
                                                  session_.Ticks(), bq::DesktopProgramName()));
    });
}

// The command line is handled once the window is on screen, so that its
// messages have a window to belong to.
void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    QTimer::singleShot(0, this, [this] { FormShow(arguments_); });
}

void TForm1::FormShow(const QStringList& arguments) {
    session_.SetExtractFile("");
    const std::string programName = bq::DesktopProgramName();
    const std::string path = arguments.size() > 1 ? std::string(bq::Trim(ToPath(arguments.at(1)))) : "";
    if (path.empty()) return;
    if (!bq::RegularFileExists(path)) {
        dialogs_.Message(this, windowTitle(), DisplayText(bq::MissingExtractMessage(path, programName)),
                         QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    const bool done = Guarded(dialogs_, this, [&] {
        session_.SetExtractFile(path);
        VerifyLoadedExtract();
        SaveMergeOutput();
    });
    if (done) close();
}
