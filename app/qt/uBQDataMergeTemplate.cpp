#include "app/qt/uBQDataMergeTemplate.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/qt/AppText.h"
#include "app/qt/AutoSize.h"
#include "app/qt/Fonts.h"

using namespace bq::app;

namespace {

constexpr int kButtonPanelHeight = 41;

QPushButton* Button(const QString& text, int left, QWidget* panel) {
    auto* button = new QPushButton(text, panel);
    button->setGeometry(left, (kButtonPanelHeight - 25) / 2, 75, 25);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TfmTemplate::TfmTemplate(bq::shell::TemplateWindow& window, QWidget* mainWindow)
    : QDialog(mainWindow), window_(window), mainWindow_(mainWindow) {
    setWindowTitle(FromBytes(bq::shell::kTemplateCaption));
    setFont(InterfaceFont());
    AutoSize = new TAutoSize(this, QPoint(686, 444));
    const QSize client = AutoSize->ClientSize();

    RzMemo1 = new QPlainTextEdit(this);
    RzMemo1->setGeometry(0, 0, client.width(), client.height() - kButtonPanelHeight);
    RzMemo1->setReadOnly(true);
    // Out of the tab order, but a click gives it the keys: PgUp, PgDn,
    // selecting with the arrows and Ctrl+C.
    RzMemo1->setFocusPolicy(Qt::ClickFocus);
    RzMemo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RzMemo1->setFrameShape(QFrame::NoFrame);
    RzMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RzMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RzMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RzMemo1->setFont(MemoFont());

    pnButtons = new QWidget(this);
    pnButtons->setGeometry(0, client.height() - kButtonPanelHeight, client.width(), kButtonPanelHeight);
    bPrint = Button(QStringLiteral("&Print"), 10, pnButtons);
    bSave = Button(QStringLiteral("&Save"), 93, pnButtons);
    bClose = Button(QStringLiteral("&Close"), 604, pnButtons);

    connect(bClose, &QPushButton::clicked, this, &QDialog::close);
    connect(bSave, &QPushButton::clicked, this, [this] { window_.bSaveClick(); });
    connect(bPrint, &QPushButton::clicked, this, [this] { window_.bPrintClick(); });
}

QFont TfmTemplate::PrintFont() const { return RzMemo1->font(); }

void TfmTemplate::showEvent(QShowEvent* event) {
    QStringList text;
    for (const std::string& line : window_.Lines()) text.append(FromBytes(line));
    RzMemo1->setPlainText(text.join(QLatin1Char('\n')));
    // The window opens over the main window, wherever the user has moved it.
    // Client areas line up where frames do, as both windows have the same
    // frame; a frame position is no use before X11 first maps the window and
    // tells its frame, and put the window a title bar too high.
    if (mainWindow_) setGeometry(QRect(mainWindow_->geometry().topLeft(), size()));
    QDialog::showEvent(event);
}
