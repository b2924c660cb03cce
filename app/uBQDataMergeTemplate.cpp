#include "app/uBQDataMergeTemplate.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>

#include "app/AppText.h"
#include "app/AutoSize.h"
#include "app/ErrorDisplay.h"
#include "app/TemplatePrint.h"
#include "app/TopMostDialogs.h"
#include "extract/template_text.h"

using namespace bq::app;

namespace {

constexpr int kButtonPanelHeight = 41;

QFont MemoFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setBold(true);
    font.setPixelSize(13);
    // The template's columns line up only in a fixed-pitch font.
    const QFontInfo matched(font);
    if (!matched.exactMatch() && matched.family().compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) != 0)
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    return font;
}

QPushButton* Button(const QString& text, int left, QWidget* panel) {
    auto* button = new QPushButton(text, panel);
    button->setGeometry(left, (kButtonPanelHeight - 25) / 2, 75, 25);
    return button;
}

}  // namespace

TfmTemplate::TfmTemplate(Dialogs& dialogs, QWidget* mainWindow)
    : QDialog(mainWindow), dialogs_(dialogs), mainWindow_(mainWindow) {
    setWindowTitle(QStringLiteral("Data Extract Template"));
    AutoSize = new TAutoSize(this, QPoint(686, 444));
    const QSize client = AutoSize->ClientSize();

    RzMemo1 = new QPlainTextEdit(this);
    RzMemo1->setGeometry(0, 0, client.width(), client.height() - kButtonPanelHeight);
    RzMemo1->setReadOnly(true);
    RzMemo1->setFocusPolicy(Qt::NoFocus);
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
    bPrint->setAutoDefault(false);
    bSave->setAutoDefault(false);
    bClose->setAutoDefault(false);

    connect(bClose, &QPushButton::clicked, this, &TfmTemplate::bCloseClick);
    connect(bSave, &QPushButton::clicked, this, &TfmTemplate::bSaveClick);
    connect(bPrint, &QPushButton::clicked, this, &TfmTemplate::bPrintClick);
}

void TfmTemplate::FillMemo(const std::vector<std::string>& lines) {
    lines_ = lines;
    QStringList text;
    for (const std::string& line : lines) text.append(FromBytes(line));
    RzMemo1->setPlainText(text.join(QLatin1Char('\n')));
}

void TfmTemplate::ShowTemplate(const std::vector<std::string>& lines) {
    FillMemo(lines);
    dialogs_.RunWindow(*this);
}

// The window opens over the main window, wherever the user has moved it.
void TfmTemplate::showEvent(QShowEvent* event) {
    if (mainWindow_) move(mainWindow_->pos());
    QDialog::showEvent(event);
}

QString TfmTemplate::FirstLine() const { return lines_.empty() ? QString() : FromBytes(lines_.front()); }

void TfmTemplate::bCloseClick() { close(); }

void TfmTemplate::bSaveClick() {
    Guarded(dialogs_, this, [&] {
        TTopMostSaveDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("SAVE ") + FirstLine() + QStringLiteral(" TEMPLATE"));
        dialog.setNameFilters({QStringLiteral("Text Files (*.txt)")});
        dialog.setDefaultSuffix(QStringLiteral("TXT"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        dialog.selectFile(FirstLine() + QStringLiteral(" TEMPLATE.txt"));
        if (const std::optional<QString> path = dialogs_.RunFileDialog(dialog))
            bq::SaveTemplate(ToPath(*path), lines_);
    });
}

void TfmTemplate::bPrintClick() {
    Guarded(dialogs_, this, [&] {
        QPrinter printer;
        bool accepted = false;
        {
            // Finding the printers can take a while.
            WaitCursor wait;
            TTopMostPrinterSetupDialog dialog(&printer, this);
            accepted = dialogs_.RunPrintDialog(dialog);
        }
        if (!accepted) return;
        printer.setDocName(FirstLine() + QStringLiteral(" DATA EXTRACT TEMPLATE"));
        // The memo's size is in screen pixels; on paper the same point size keeps the look.
        QFont font = RzMemo1->font();
        const qreal points = QFontInfo(font).pointSizeF();
        font.setPointSizeF(points > 0 ? points : 10.0);
        QStringList text;
        for (const std::string& line : lines_) text.append(FromBytes(line));
        PrintLines(printer, font, text);
    });
}
