// The Qt front end's wiring: what the windows show, what reaches the shell,
// and how the dialogs are built. The flows themselves are tested with the shell.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include "app/qt/AppText.h"
#include "app/qt/FieldListModel.h"
#include "app/qt/uBQDataMerge.h"
#include "app/qt/uBQDataMergeTemplate.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "schema/type_codes.h"
#include "tests/print_queue.h"
#include "tests/samples.h"
#include "tests/scripted_qt_screen.h"
#include "tests/temp_folder.h"
#include "verify/merge_output.h"

using bq::app::ScriptedQtScreen;

// Failures show texts as text.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// Rows of the field list are ints in Qt.
int FieldOfCode(char code) { return static_cast<int>(bq::test::FieldOfCode(code)); }

class AppTest : public bq::test::TempFolder {
  protected:
    AppTest() { dialogs.SetWindows(&form, &fmTemplate); }

    // Writes `bytes` to `name` in the scratch folder; returns its path as Qt spells it.
    QString WriteFile(const std::string& name, const std::string& bytes) {
        return bq::app::FromPath(Write(name, bytes));
    }
    QString PathOf(const std::string& name) { return bq::app::FromPath((dir / name).string()); }
    void Type(const QString& text) { QTest::keyClicks(form.coForm->lineEdit(), text); }
    void Tick(int row, bool on) {
        form.FieldList->setData(form.FieldList->index(row), on ? Qt::Checked : Qt::Unchecked,
                                Qt::CheckStateRole);
    }
    bool Ticked(int row) {
        return form.FieldList->index(row).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    QString Header() { return form.FieldList->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(); }

    const bq::VerificationSession& Session() { return window.Session(); }
    // The column caption as the shell has it; its texts are checked with the shell.
    QString ColumnCaption() { return bq::app::FromBytes(window.ColumnCaption()); }
    // The hint of the fields of type `code`.
    static QString HintOf(char code) { return bq::app::FromBytes(bq::FindTypeCode(code)->hint); }

    ScriptedQtScreen dialogs;
    bq::test::RecordingRegistry registry;
    bq::shell::TemplateWindow templateWindow{dialogs};
    bq::shell::MainWindow window{dialogs, templateWindow, "BQ2018DM", &registry};
    TForm1 form{window, {}};
    TfmTemplate fmTemplate{templateWindow, &form};
};

const QString kErrorCaption = "Brisquill Data Merge Module ";

TEST_F(AppTest, MainWindowHasItsDesignedLayout) {
    EXPECT_EQ(form.windowTitle(), "Brisquill Data Merge Module [ 2018 ]");
    EXPECT_EQ(form.size(), QSize(678, 419));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.coForm->geometry(), QRect(8, 10, 102, 21));
    EXPECT_EQ(form.lvDestination->geometry(), QRect(118, 10, 549, 380));
    EXPECT_EQ(form.TypeStatus->geometry().topLeft(), QPoint(118, 394));
    EXPECT_EQ(form.TypeStatus->width(), 552);
    EXPECT_EQ(form.bDisplay->geometry(), QRect(8, 333, 102, 25));
    EXPECT_EQ(form.bVerify->geometry(), QRect(8, 364, 102, 25));
    EXPECT_EQ(form.bDisplay->text(), "&Display Template");
    EXPECT_EQ(form.bVerify->text(), "&Verify an Extract");
    EXPECT_FALSE(form.bDisplay->isEnabled());
    EXPECT_EQ(form.coForm->currentText(), "");
    EXPECT_EQ(Header(), ColumnCaption());
}

TEST_F(AppTest, SelectorOffersOnlyTheVisibleForms) {
    ASSERT_EQ(form.coForm->count(), 33);
    EXPECT_EQ(form.coForm->itemText(0), "1094");
    EXPECT_EQ(form.coForm->itemText(32), "W-2G");
    EXPECT_EQ(form.coForm->maxVisibleItems(), 37);
}

TEST_F(AppTest, TypingSelectsTheFirstFormBeginningWithTheText) {
    Type("1099-i");
    EXPECT_EQ(form.coForm->currentText(), "1099-INT");
    EXPECT_EQ(form.coForm->lineEdit()->selectedText(), "NT");
    EXPECT_EQ(Session().Selection().FormIndex(), 19);
    const std::vector<bq::FieldDescriptor> fields = bq::test::FieldsOf(19);
    ASSERT_EQ(form.FieldList->rowCount(), static_cast<int>(fields.size()));
    EXPECT_EQ(form.FieldList->index(0).data().toString(), bq::app::FromBytes(bq::CaptionOf(fields[0])));
    EXPECT_EQ(Header(), ColumnCaption());

    // Backspace removes the offered rest and keeps the form.
    QTest::keyClick(form.coForm->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(form.coForm->currentText(), "1099-I");
    EXPECT_EQ(Session().Selection().FormIndex(), 19);
}

TEST_F(AppTest, TextBeginningNoFormShowsAnEmptyList) {
    Type("1099-i");
    form.coForm->lineEdit()->selectAll();
    Type("zz");
    EXPECT_EQ(form.coForm->currentText(), "ZZ");
    EXPECT_EQ(form.FieldList->rowCount(), 0);
    EXPECT_EQ(Header(), ColumnCaption());
}

TEST_F(AppTest, TicksDriveTheHintPaneAndTheDisplayButton) {
    Type("1099-A");
    const int text = FieldOfCode('$'), money = FieldOfCode('c');
    Tick(text, true);
    EXPECT_TRUE(form.lvDestination->selectionModel()->isRowSelected(text, {}));
    EXPECT_EQ(form.TypeStatus->text(), HintOf('$'));
    EXPECT_TRUE(form.bDisplay->isEnabled());

    Tick(money, true);
    EXPECT_EQ(form.TypeStatus->text(), HintOf('c'));
    Tick(money, false);
    EXPECT_EQ(form.TypeStatus->text(), "");
    EXPECT_TRUE(form.bDisplay->isEnabled());
    Tick(text, false);
    EXPECT_FALSE(form.bDisplay->isEnabled());
    EXPECT_EQ(Session().Selection().CountChecked(), 0u);
}

TEST_F(AppTest, SelectingARowShowsItsHint) {
    Type("1099-A");
    form.lvDestination->selectionModel()->setCurrentIndex(form.FieldList->index(FieldOfCode('D')),
                                                          QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(form.TypeStatus->text(), HintOf('D'));
}

TEST_F(AppTest, VerifiedExtractIsSavedWhenTheUserSaysYes) {
    const QString path = WriteFile("good.txt", bq::test::Extract1099A());
    dialogs.files.push_back(path);
    dialogs.answers.push_back(QMessageBox::Yes);
    form.bVerify->click();

    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].shownFilters, QStringList({"Text files (*.txt)", "All files (*.*)"}));
    // Every file, also one without a dot, is one of "all files".
    EXPECT_EQ(dialogs.fileDialogs[0].filters,
              QStringList({"Text files (*.txt) (*.txt)", "All files (*.*) (*)"}));
    EXPECT_FALSE(dialogs.fileDialogs[0].save);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Successful Verification");
    EXPECT_EQ(dialogs.boxes[0].icon, QMessageBox::Question);
    EXPECT_EQ(dialogs.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(dialogs.boxes[0].text, "EXTRACT: " + path +
                                         "\n\nRETURNS: 1099-A\nRECORDS: 2\n\nREPORTING YEAR: 2018\n\n"
                                         "Do you want to save the output for merging with Brisquill?");
    EXPECT_EQ(dialogs.boxes[1].caption, "Data Extract Import Instructions");
    EXPECT_EQ(dialogs.boxes[1].icon, QMessageBox::NoIcon);
    EXPECT_EQ(dialogs.boxes[1].text,
              QString::fromStdString(bq::ImportInstructions(bq::app::ToPath(path), "1099-A"))
                  .replace("\r\n", "\n"));
    EXPECT_TRUE(QFile::exists(PathOf("2018DM_good.txt")));
    EXPECT_EQ(registry.folders, std::vector<std::string>{(dir / "").string()});
    // The list now shows the extract's form and ticks.
    EXPECT_EQ(form.coForm->currentText(), "1099-A");
    EXPECT_TRUE(Ticked(FieldOfCode('$')));
    EXPECT_TRUE(form.bDisplay->isEnabled());
}

TEST_F(AppTest, TypedNameOpensTheFileItMeans) {
    Write("bad-tin.txt", "");
    Write("README", "");
    Write("notes.TXT", "");
    const struct {
        std::string typed, opened;
    } cases[] = {
        {"bad-tin", "bad-tin.txt"},
        {"bad-tin.TXT", "bad-tin.txt"},
        {"README", "README"},
        {"notes", "notes.TXT"},
    };
    for (const auto& c : cases) {
        dialogs.files.push_back(PathOf(c.typed));
        EXPECT_EQ(dialogs.ChooseFileToOpen(bq::shell::ExtractOpenDialog()), (dir / c.opened).string())
            << c.typed;
    }
}

// Qt shows such names with U+FFFD in place of the bytes it could not
// decode, and its own check of an open dialog's choice would not find them.
TEST_F(AppTest, FilesWhoseNamesAreNotUtf8AreOpenedAndReplacedByTheirBytes) {
    Write("caf\xE9.txt", "");
    Write("r\xE9sum\xE9.txt", "");
    dialogs.files.push_back(PathOf("caf\xE9.txt"));
    EXPECT_EQ(dialogs.ChooseFileToOpen(bq::shell::ExtractOpenDialog()), (dir / "caf\xE9.txt").string());
    dialogs.files.push_back(PathOf("r\xE9sum\xE9.txt"));
    EXPECT_EQ(dialogs.ChooseFileToSave(bq::shell::FileDialog{}), (dir / "r\xE9sum\xE9.txt").string());
}

TEST_F(AppTest, FailedVerificationShowsOneErrorBox) {
    const QString path = WriteFile("bad.txt", "NOT A FORM\r\n");
    dialogs.files.push_back(path);
    form.bVerify->click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, kErrorCaption);
    EXPECT_EQ(dialogs.boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs.boxes[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(dialogs.boxes[0].text, "FORM segment not found.\n\nEXTRACT = " + path + ".");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AppTest, CommandLineExtractIsSavedAndTheWindowCloses) {
    const QString path = WriteFile("good.txt", bq::test::Extract1099A());
    form.show();
    window.FormShow(bq::app::ToPath(" \t" + path + "  "));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Data Extract Import Instructions");
    EXPECT_TRUE(QFile::exists(PathOf("2018DM_good.txt")));
    EXPECT_EQ(registry.folders.size(), 1u);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(AppTest, TemplateOfTheTickedFieldsIsShownInTheMemo) {
    Type("1099-A");
    Tick(FieldOfCode('$'), true);
    form.bDisplay->click();
    EXPECT_EQ(dialogs.windows, std::vector<QString>{"Data Extract Template"});
    QStringList lines;
    for (const std::string& line : templateWindow.Lines()) lines.append(bq::app::FromBytes(line));
    EXPECT_EQ(fmTemplate.RzMemo1->toPlainText(), lines.join('\n'));
}

TEST_F(AppTest, SavedTemplateHasEveryLineEndedByCrLf) {
    templateWindow.Fill({"FORM W-2", "KEY 00210", "{BEGIN DATA}"});
    const QString path = PathOf("t.txt");
    dialogs.files.push_back(path);
    fmTemplate.bSave->click();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const ScriptedQtScreen::FileDialogSeen& seen = dialogs.fileDialogs[0];
    EXPECT_EQ(seen.title, "SAVE FORM W-2 TEMPLATE");
    EXPECT_EQ(seen.proposedFile, "FORM W-2 TEMPLATE.txt");
    EXPECT_EQ(seen.shownFilters, QStringList{"Text Files"});
    EXPECT_EQ(seen.filters, QStringList{"Text Files (*.txt)"});
    // "TXT" spelt as the filter spells it, so that "t" saves as the proposed name does.
    EXPECT_EQ(seen.defaultSuffix, "txt");
    EXPECT_TRUE(seen.save);
    EXPECT_TRUE(seen.confirmOverwrite);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("FORM W-2\r\nKEY 00210\r\n{BEGIN DATA}\r\n"));
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(AppTest, DialogsStartInTheFolderLastUsed) {
    ASSERT_TRUE(QDir(PathOf("")).mkdir("saved"));
    templateWindow.Fill({"FORM W-2"});
    dialogs.files.push_back(PathOf("saved/t.txt"));
    fmTemplate.bSave->click();
    dialogs.files.push_back(WriteFile("bad.txt", "NOT A FORM\r\n"));
    form.bVerify->click();
    fmTemplate.bSave->click();
    ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
    EXPECT_EQ(dialogs.fileDialogs[1].folder, QDir(PathOf("saved")).absolutePath());
    EXPECT_EQ(dialogs.fileDialogs[2].folder, QDir(PathOf("")).absolutePath());
}

TEST_F(AppTest, CancelledPrinterSetUpPrintsNothingAndOfferedNoPageRange) {
    templateWindow.Fill({"FORM W-2"});
    fmTemplate.bPrint->click();
    EXPECT_EQ(dialogs.printDialogs, 1);
    // Every page is printed, so no range is offered that would be ignored.
    EXPECT_FALSE(dialogs.pageRangeOffered);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The page count of a PDF that Qt's PDF printer wrote.
int PdfPageCount(const QByteArray& pdf) {
    const QRegularExpressionMatch count =
        QRegularExpression(QStringLiteral("/Type /Pages\\s.*?/Count (\\d+)"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(QString::fromLatin1(pdf));
    return count.hasMatch() ? count.captured(1).toInt() : 0;
}

// The document title of such a PDF, written in UTF-16 behind its byte-order mark.
QString PdfTitle(const QByteArray& pdf) {
    const QByteArray start("/Title (\xFE\xFF");
    const qsizetype from = pdf.indexOf(start);
    if (from < 0) return "no title";
    QString title;
    for (qsizetype i = from + start.size(); i + 1 < pdf.size() && pdf[i] != ')'; i += 2)
        title += QChar((static_cast<uchar>(pdf[i]) << 8) | static_cast<uchar>(pdf[i + 1]));
    return title;
}

TEST_F(AppTest, PrintedTemplateCarriesItsTitleAndRunsOverPages) {
    std::vector<std::string> lines{"FORM 1099-MISC"};
    for (int i = 0; i < 150; ++i) lines.push_back("LINE " + std::to_string(i));
    templateWindow.Fill(lines);
    const QString pdf = PathOf("template.pdf");
    dialogs.printAnswers.push_back(pdf);
    fmTemplate.bPrint->click();
    EXPECT_TRUE(dialogs.boxes.empty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_GE(PdfPageCount(bytes), 2);
    // The job title is the document title.
    EXPECT_EQ(PdfTitle(bytes), "FORM 1099-MISC DATA EXTRACT TEMPLATE");
}

TEST_F(AppTest, PrintsOnARealQueue) {
    const std::optional<std::string> queue = bq::test::PrintQueue();
    if (!queue) GTEST_SKIP() << "needs the CUPS queue of tests/print/print-test.sh";
    templateWindow.Fill(bq::test::PrintedW2cTemplate());
    dialogs.printQueue = bq::app::FromBytes(*queue);
    fmTemplate.bPrint->click();
    EXPECT_EQ(dialogs.printDialogs, 1);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(AppTest, RowLosingTheSelectionStillShowsItsHint) {
    Type("1099-A");
    const QModelIndex date = form.FieldList->index(FieldOfCode('D'));
    form.lvDestination->selectionModel()->select(date, QItemSelectionModel::Select);
    form.TypeStatus->clear();
    form.lvDestination->selectionModel()->select(date, QItemSelectionModel::Deselect);
    EXPECT_EQ(form.TypeStatus->text(), HintOf('D'));
}

TEST_F(AppTest, AltKeyOfADisabledButtonTypesNothing) {
    Type("1099-A");
    ASSERT_FALSE(form.bDisplay->isEnabled());
    QTest::keyClick(form.coForm->lineEdit(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(form.coForm->currentText(), "1099-A");
    EXPECT_EQ(Session().Selection().FormIndex(), 13);
}

// A screen of `dpi` dots per inch as Qt 6 draws on it: every window is
// scaled by dpi / 96 and the fonts are drawn at the screen's own resolution,
// so a text can outgrow its scaled control where hinting rounds it up.
class Screen {
  public:
    explicit Screen(int dpi) : device_(1, 1, QImage::Format_RGB32), scale_(dpi / 96.0) {
        const int dotsPerMeter = qRound(dpi / 0.0254);
        device_.setDotsPerMeterX(dotsPerMeter);
        device_.setDotsPerMeterY(dotsPerMeter);
    }
    // Whether `text` in the font of `control` fits `room` pixels of it.
    bool Fits(const QWidget* control, const QString& text, double room) const {
        const QFontMetricsF metrics(control->font(), const_cast<QImage*>(&device_));
        return metrics.size(Qt::TextShowMnemonic, text).width() <= room * scale_;
    }

  private:
    QImage device_;
    double scale_;
};

// The width a button leaves for its caption: the style's frame and margins off.
double CaptionRoom(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    return button->width() -
           button->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), button).width();
}

// The width a framed label leaves for its text: the frame and, as QLabel
// does for a framed label, half an x off the left.
double TextRoom(const QLabel* label) {
    return label->contentsRect().width() -
           QFontMetricsF(label->font()).horizontalAdvance(QLatin1Char('x')) / 2;
}

// The width a row of a list with check boxes leaves for its caption.
double CaptionRoom(const QTreeView* list) {
    QStyleOptionViewItem option;
    option.initFrom(list);
    const QModelIndex row = list->model()->index(0, 0);
    const QString caption = row.data().toString();
    const double chrome = list->itemDelegate()->sizeHint(option, row).width() -
                          QFontMetricsF(list->font()).horizontalAdvance(caption);
    return list->header()->sectionSize(0) - chrome;
}

// The width the field list's header leaves for its caption.
double HeaderRoom(const QTreeView* list) {
    return list->header()->sectionSize(0) - 2 * list->style()->pixelMetric(QStyle::PM_HeaderMargin);
}

// Qt's line edit keeps 2 pixels clear on either side of its text.
constexpr int kLineEditMargin = 2;

TEST_F(AppTest, EveryTextFitsItsControlAt100And144Dpi) {
    form.show();
    Type("1099-A");
    const double selectorRoom = form.coForm->lineEdit()->width() - 2 * kLineEditMargin;
    const double rowRoom = CaptionRoom(form.lvDestination);
    const double headerRoom = HeaderRoom(form.lvDestination);
    for (int dpi : {100, 144}) {
        const Screen screen(dpi);
        QStringList cut;
        for (const QPushButton* button :
             {form.bDisplay, form.bVerify, fmTemplate.bPrint, fmTemplate.bSave, fmTemplate.bClose})
            if (!screen.Fits(button, button->text(), CaptionRoom(button))) cut.append(button->text());
        for (const bq::TypeCode& code : bq::TypeCodes) {
            const QString hint = bq::app::FromBytes(bq::TypeHint(code.code));
            if (!screen.Fits(form.TypeStatus, hint, TextRoom(form.TypeStatus))) cut.append(hint);
        }
        for (std::string_view caption : {bq::shell::kNoFormCaption, bq::shell::kFormCaption})
            if (!screen.Fits(form.lvDestination->header(), bq::app::FromBytes(caption), headerRoom))
                cut.append(bq::app::FromBytes(caption));
        for (int position = 0; position < form.coForm->count(); ++position)
            if (!screen.Fits(form.coForm, form.coForm->itemText(position), selectorRoom))
                cut.append(form.coForm->itemText(position));
        for (int formIndex = bq::kFirstVisibleForm; formIndex < bq::kFormCount; ++formIndex)
            for (const bq::FieldDescriptor& field : bq::test::FieldsOf(formIndex)) {
                const QString caption = bq::app::FromBytes(bq::CaptionOf(field));
                if (!screen.Fits(form.lvDestination, caption, rowRoom)) cut.append(caption);
            }
        EXPECT_EQ(cut, QStringList()) << dpi << " dpi";
    }
}

// Without Microsoft's fonts, fontconfig offers the metric twins of fonts-liberation.
TEST_F(AppTest, WindowsTakeTheMetricTwinsOfArialAndCourierNew) {
    const QStringList families = QFontDatabase::families();
    if (!families.contains("Liberation Mono") || families.contains("Courier New"))
        GTEST_SKIP() << "needs fonts-liberation and no Courier New";
    const QFontInfo memo(fmTemplate.RzMemo1->font());
    EXPECT_EQ(memo.family(), "Liberation Mono");
    EXPECT_TRUE(memo.bold());
    EXPECT_EQ(memo.pixelSize(), 13);
    for (const QWidget* window : {static_cast<QWidget*>(&form), static_cast<QWidget*>(&fmTemplate)}) {
        const QFontInfo controls(window->font());
        EXPECT_EQ(controls.family(), "Liberation Sans");
        EXPECT_EQ(controls.pointSize(), 8);
    }
}

TEST_F(AppTest, TemplateWindowCoversTheMainWindowAndBelongsToIt) {
    form.show();
    form.move(137, 91);
    fmTemplate.show();
    EXPECT_EQ(fmTemplate.geometry().topLeft(), form.geometry().topLeft());
    EXPECT_EQ(fmTemplate.frameGeometry().topLeft(), form.frameGeometry().topLeft());
    // X11 window managers keep a window above its owner only when it is a dialog.
    EXPECT_EQ(fmTemplate.windowType(), Qt::Dialog);
    EXPECT_EQ(fmTemplate.windowHandle()->transientParent(), form.windowHandle());
    fmTemplate.hide();
}

TEST_F(AppTest, AClickGivesTheMemoThePageKeysAndCopyButTabPassesItBy) {
    std::vector<std::string> lines{"FORM W-2"};
    for (int i = 0; i < 100; ++i) lines.push_back("LINE " + std::to_string(i));
    templateWindow.Fill(lines);
    fmTemplate.show();
    QPlainTextEdit* memo = fmTemplate.RzMemo1;
    fmTemplate.bClose->setFocus();
    QTest::keyClick(fmTemplate.bClose, Qt::Key_Tab);
    EXPECT_EQ(fmTemplate.focusWidget(), fmTemplate.bPrint);

    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(fmTemplate.focusWidget(), memo);
    QTest::keyClick(memo, Qt::Key_PageDown);
    EXPECT_GT(memo->verticalScrollBar()->value(), 0);
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    QStringList copied{"FORM W-2"};
    for (int i = 0; i < 100; ++i) copied.append("LINE " + QString::number(i));
    EXPECT_EQ(QApplication::clipboard()->text(), copied.join('\n'));
    fmTemplate.hide();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
