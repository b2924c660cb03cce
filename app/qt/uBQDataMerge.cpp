#include "app/qt/uBQDataMerge.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QValidator>

#include "app/qt/AppText.h"
#include "app/qt/AutoSize.h"
#include "app/qt/FieldListModel.h"
#include "app/qt/Fonts.h"
#include "shell/messages.h"

using namespace bq::app;
using bq::shell::MainWindowPart;
namespace design = bq::shell::main_window;

namespace {

// An Alt key whose button is disabled must not reach the selector as typing.
class SwallowAltKeys : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            (static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

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

TForm1::TForm1(bq::shell::MainWindow& window, std::string argument, QWidget* parent)
    : QWidget(parent), window_(window), argument_(std::move(argument)) {
    setWindowTitle(FromBytes(bq::MainWindowCaption()));
    setFont(InterfaceFont());
    AutoSize = new TAutoSize(this, design::kClient);

    coForm = new QComboBox(this);
    Lay(coForm, design::kForm);
    coForm->setEditable(true);
    coForm->setInsertPolicy(QComboBox::NoInsert);
    coForm->setCompleter(nullptr);
    coForm->setMaxVisibleItems(bq::shell::FormSelector::kDropDownRows);
    coForm->lineEdit()->setValidator(new UpperCaseValidator(coForm));
    coForm->lineEdit()->installEventFilter(new SwallowAltKeys(coForm));
    for (std::string_view name : bq::shell::FormSelector::Items()) coForm->addItem(FromBytes(name));
    coForm->setCurrentIndex(-1);

    FieldList = new FieldListModel(window_, this);
    lvDestination = new QTreeView(this);
    Lay(lvDestination, design::kList);
    lvDestination->setModel(FieldList);
    lvDestination->setRootIsDecorated(false);
    lvDestination->setItemsExpandable(false);
    lvDestination->setUniformRowHeights(true);
    lvDestination->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvDestination->setSelectionMode(QAbstractItemView::SingleSelection);
    lvDestination->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvDestination->header()->setStretchLastSection(true);
    lvDestination->header()->setMinimumSectionSize(design::kMinimumColumnWidth);
    lvDestination->header()->setSectionsMovable(false);
    lvDestination->header()->setSectionsClickable(false);

    TypeStatus = new QLabel(this);
    Lay(TypeStatus, design::kStatus);
    TypeStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    TypeStatus->setAutoFillBackground(true);
    QPalette pane = TypeStatus->palette();
    pane.setColor(QPalette::Window, pane.color(QPalette::Base));
    TypeStatus->setPalette(pane);

    bDisplay = new QPushButton(FromBytes(design::kDisplay.caption), this);
    Lay(bDisplay, design::kDisplay);
    bDisplay->setEnabled(false);
    bVerify = new QPushButton(FromBytes(design::kVerify.caption), this);
    Lay(bVerify, design::kVerify);

    setTabOrder(coForm, bDisplay);
    setTabOrder(bDisplay, bVerify);
    setTabOrder(bVerify, lvDestination);

    connect(coForm->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { window_.coFormType(ToBytes(text)); });
    connect(coForm, &QComboBox::activated, this, [this](int position) { window_.coFormPick(position); });
    connect(lvDestination->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                // A row losing the selection is reported before the row gaining it.
                for (const QItemSelection* rows : {&deselected, &selected})
                    if (!rows->indexes().isEmpty())
                        window_.lvDestinationSelectItem(static_cast<size_t>(rows->indexes().first().row()));
            });
    connect(bDisplay, &QPushButton::clicked, this, [this] { window_.bDisplayClick(); });
    connect(bVerify, &QPushButton::clicked, this, [this] { window_.bVerifyClick(); });
}

// A window still on screen repaints its list while it is being torn down:
// the list lets go of the model first.
TForm1::~TForm1() { lvDestination->setModel(nullptr); }

void TForm1::Redraw(MainWindowPart part) {
    switch (part) {
        case MainWindowPart::FormSelector: {
            const QSignalBlocker block(coForm);
            const bq::shell::FormSelector& selector = window_.Selector();
            coForm->setCurrentIndex(selector.Position());
            const QString text = FromBytes(selector.Text());
            QLineEdit* edit = coForm->lineEdit();
            edit->setText(text);
            const int typed = static_cast<int>(selector.TypedLength());
            if (typed < text.size())
                edit->setSelection(static_cast<int>(text.size()), typed - static_cast<int>(text.size()));
            break;
        }
        case MainWindowPart::FieldList:
            FieldList->Reload();
            break;
        case MainWindowPart::Ticks:
            FieldList->TicksChanged();
            break;
        case MainWindowPart::SelectedRow: {
            const QSignalBlocker block(lvDestination->selectionModel());
            if (window_.SelectedRow() < 0)
                lvDestination->selectionModel()->clearSelection();
            else
                lvDestination->selectionModel()->setCurrentIndex(
                    FieldList->index(window_.SelectedRow()),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lvDestination->viewport()->update();
            break;
        }
        case MainWindowPart::Hint:
            TypeStatus->setText(FromBytes(window_.Hint()));
            break;
        case MainWindowPart::DisplayButton:
            bDisplay->setEnabled(window_.DisplayEnabled());
            break;
    }
}

// The command line is handled once the window is on screen, so that its
// messages have a window to belong to.
void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    QTimer::singleShot(0, this, [this] { window_.FormShow(argument_); });
}
