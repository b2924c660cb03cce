// The Qt screen with its modal runs answered from queues filled in advance;
// every dialog asked for is recorded as Qt built it.
#pragma once

#include <QStringList>
#include <vector>

#include "app/qt/QtScreen.h"
#include "tests/script.h"

namespace bq::app {

class ScriptedQtScreen : public QtScreen {
  public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    struct FileDialogSeen {
        QString title;
        QString proposedFile;      // the file name of the first selected file, folder left out
        QStringList shownFilters;  // the filter list as the user reads it
        QStringList filters;       // Qt's name filters, whose parentheses hold the patterns
        QString defaultSuffix;
        bool save;
        bool confirmOverwrite;
        QString folder;  // where it starts
    };

    // An unanswered question gets No, an unanswered file dialog is cancelled
    // and an unanswered printer set-up is cancelled.
    test::Replies<QMessageBox::StandardButton> answers;
    // An empty name cancels. An open dialog gets its answer typed into its
    // name box, then Open pressed: the answer must lead to a file, or Qt's
    // own "not found" box would wait for a user.
    test::Replies<QString> files;
    // A file name accepts the printer set-up with a PDF printer writing that file;
    // an empty name cancels.
    test::Replies<QString> printAnswers;
    // When set, the printer set-up is accepted with this CUPS queue once
    // printAnswers is empty.
    QString printQueue;

    std::vector<Box> boxes;
    std::vector<FileDialogSeen> fileDialogs;
    int printDialogs = 0;
    bool pageRangeOffered = false;  // by the last printer set-up
    std::vector<QString> windows;   // captions of the modal windows run

  protected:
    QMessageBox::StandardButton RunBox(QMessageBox& box) override;
    std::optional<QString> RunFileDialog(QFileDialog& dialog) override;
    bool RunPrintDialog(QPrintDialog& dialog) override;
    void RunWindow(QDialog& window) override;
};

}  // namespace bq::app
