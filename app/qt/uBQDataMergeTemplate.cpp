#include "app/qt/uBQDataMergeTemplate.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/qt/AppText.h"
#include "app/qt/AutoSize.h"
#include "app/qt/Fonts.h"

using namespace bq::app;

namespace design = bq::shell::template_window;

namespace {

QPushButton* Button(const bq::shell::ControlDesign& button, QWidget* window) {
    auto* made = new QPushButton(FromBytes(button.caption), window);
    Lay(made, button);
    made->setAutoDefault(false);
    return made;
}

}  // namespace

TfmTemplate::TfmTemplate(bq::shell::TemplateWindow& window, QWidget* mainWindow)
    : QDialog(mainWindow), window_(window), mainWindow_(mainWindow) {
    setWindowTitle(FromBytes(bq::shell::kTemplateCaption));
    setFont(InterfaceFont());
    AutoSize = new TAutoSize(this, design::kClient);

    RzMemo1 = new QPlainTextEdit(this);
    Lay(RzMemo1, design::kMemo);
    RzMemo1->setReadOnly(true);
    // Out of the tab order, but a click gives it the keys: PgUp, PgDn,
    // selecting with the arrows and Ctrl+C.
    RzMemo1->setFocusPolicy(Qt::ClickFocus);
    RzMemo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RzMemo1->setFrameShape(QFrame::NoFrame);
    RzMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RzMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RzMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    bPrint = Button(design::kPrint, this);
    bSave = Button(design::kSave, this);
    bClose = Button(design::kClose, this);

    connect(bClose, &QPushButton::clicked, this, &QDialog::close);
    connect(bSave, &QPushButton::clicked, this, [this] { window_.bSaveClick(); });
    connect(bPrint, &QPushButton::clicked, this, [this] { window_.bPrintClick(); });
}

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
