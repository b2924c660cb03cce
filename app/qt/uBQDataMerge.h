// The main window on Qt: the selector, the field list, the hint pane and
// the two buttons, laid out as designed. Every event goes to the shell's
// MainWindow; what it changed comes back through Redraw.
#pragma once

#include <QWidget>
#include <string>

#include "shell/main_window.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;
class TAutoSize;

namespace bq::app {
class FieldListModel;
}

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // `argument`: the program's first argument, or empty.
    TForm1(bq::shell::MainWindow& window, std::string argument, QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows again what `part` of the shell's state holds.
    void Redraw(bq::shell::MainWindowPart part);

    QComboBox* coForm;
    QTreeView* lvDestination;
    QLabel* TypeStatus;
    QPushButton* bDisplay;
    QPushButton* bVerify;
    bq::app::FieldListModel* FieldList;
    TAutoSize* AutoSize;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bq::shell::MainWindow& window_;
    std::string argument_;
    bool shown_ = false;
};
